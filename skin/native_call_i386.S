/* The native call bridge on i386, one source for the product (PE) and the
   32-bit Linux tests (ELF): the same stdcall stack rules on both. */
#include "base/embed_asm.h"

  .text

/* CallNativeEntry: eax = entry number; the caller's return address at (esp)
   and its arguments above it stay untouched. */
  .globl VELMORA_SYM(CallNativeEntry)
  .p2align 4
VELMORA_SYM(CallNativeEntry):
  /* 8 bytes of padding keep the call 16-byte aligned, as 32-bit Linux code expects. */
  subl $8, %esp
  pushl %eax
  call VELMORA_SYM(ResolveNativeEntry)
  addl $12, %esp
  /* A jump, not a call: the entry finds its arguments where the caller left them. */
  jmp *%eax

/* uintptr_t NativeCallWithStackCheck(int32_t number, const uintptr_t* args,
                                      int32_t count, intptr_t* stack_delta); cdecl */
  .globl VELMORA_SYM(NativeCallWithStackCheck)
  .p2align 4
VELMORA_SYM(NativeCallWithStackCheck):
  pushl %ebp
  movl %esp, %ebp
  pushl %ebx
  pushl %esi
  pushl %edi
  movl 12(%ebp), %esi          /* args */
  movl 16(%ebp), %ecx          /* count */
  leal (,%ecx,4), %edi         /* bytes the arguments take */
  /* ebx: the stack pointer recorded before the pushes, placed so that the
     last push leaves the stack 16-byte aligned at the call. ebx survives the
     call: every convention preserves it. */
  movl %esp, %ebx
  subl %edi, %ebx
  andl $-16, %ebx
  addl %edi, %ebx
  movl %ebx, %esp
1:
  testl %ecx, %ecx
  jz 2f
  pushl -4(%esi,%ecx,4)        /* right to left */
  decl %ecx
  jmp 1b
2:
  movl 8(%ebp), %eax           /* entry number */
  call VELMORA_SYM(CallNativeEntry)
  /* eax (and edx) hold the result; the measure uses ecx and edi. */
  movl %esp, %ecx
  subl %ebx, %ecx
  movl 20(%ebp), %edi
  movl %ecx, (%edi)
  /* ebp frames the call, so whatever the callee removed is undone here. */
  leal -12(%ebp), %esp
  popl %edi
  popl %esi
  popl %ebx
  popl %ebp
  ret

#ifndef _WIN32
  .section .note.GNU-stack, "", @progbits
#endif
