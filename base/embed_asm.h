/* clang-format off */
/* Assembler macros that lay out constants in the image's read-only data.
   Included by .S files only; a byte array is marker 1, length, bytes. */
#define VELMORA_CAT2(a, b) a##b
#define VELMORA_CAT(a, b) VELMORA_CAT2(a, b)
#define VELMORA_SYM(name) VELMORA_CAT(__USER_LABEL_PREFIX__, name)

#ifdef _WIN32
#define VELMORA_CONST_SECTION .section .rdata, "dr"
#else
#define VELMORA_CONST_SECTION .section .rodata, "a"
#endif

.macro VELMORA_BYTE_ARRAY symbol, file
  .globl \symbol
  .balign 4
\symbol:
  .long 1
  .long 2f - 1f
1:
  .incbin "\file"
2:
.endm
