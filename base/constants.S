/* The shared empty text and the shared empty byte array. */
#include "base/embed_asm.h"

VELMORA_CONST_SECTION
  .globl VELMORA_SYM(velmora_empty_text)
VELMORA_SYM(velmora_empty_text):
  .byte 0
  .globl VELMORA_SYM(velmora_empty_bytes)
  .balign 4
VELMORA_SYM(velmora_empty_bytes):
  .long 1
  .long 0

#ifndef _WIN32
  .section .note.GNU-stack, "", @progbits
#endif
