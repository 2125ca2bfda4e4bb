/* The native call bridge for the 64-bit twin (the Windows x64 convention):
   the first four arguments travel in rcx, rdx, r8 and r9 (or xmm0 to xmm3)
   above a 32-byte home area, and the caller alone reclaims the stack. */
  .text

/* CallNativeEntry: eax = entry number; rcx, rdx, r8, r9, xmm0-xmm3 and the
   stack hold the caller's arguments and return address, all kept for the entry. */
  .globl CallNativeEntry
  .def CallNativeEntry; .scl 2; .type 32; .endef
  .p2align 4
  .seh_proc CallNativeEntry
CallNativeEntry:
  /* The home area above the return address is ours to spill into. */
  movq %rcx, 8(%rsp)
  movq %rdx, 16(%rsp)
  movq %r8, 24(%rsp)
  movq %r9, 32(%rsp)
  /* 32 bytes of home area for the lookup, 64 for xmm0-xmm3, 8 to align. */
  subq $104, %rsp
  .seh_stackalloc 104
  .seh_endprologue
  movaps %xmm0, 32(%rsp)
  movaps %xmm1, 48(%rsp)
  movaps %xmm2, 64(%rsp)
  movaps %xmm3, 80(%rsp)
  movl %eax, %ecx
  call ResolveNativeEntry
  movaps 32(%rsp), %xmm0
  movaps 48(%rsp), %xmm1
  movaps 64(%rsp), %xmm2
  movaps 80(%rsp), %xmm3
  addq $104, %rsp
  movq 8(%rsp), %rcx
  movq 16(%rsp), %rdx
  movq 24(%rsp), %r8
  movq 32(%rsp), %r9
  /* A jump, not a call: the entry returns straight to our caller. */
  jmp *%rax
  .seh_endproc

/* uintptr_t NativeCallWithStackCheck(int32_t number, const uintptr_t* args,
                                      int32_t count, intptr_t* stack_delta) */
  .globl NativeCallWithStackCheck
  .def NativeCallWithStackCheck; .scl 2; .type 32; .endef
  .p2align 4
  .seh_proc NativeCallWithStackCheck
NativeCallWithStackCheck:
  pushq %rbp
  .seh_pushreg %rbp
  pushq %rbx
  .seh_pushreg %rbx
  pushq %rsi
  .seh_pushreg %rsi
  pushq %rdi
  .seh_pushreg %rdi
  pushq %r12
  .seh_pushreg %r12
  movq %rsp, %rbp
  .seh_setframe %rbp, 0
  .seh_endprologue
  movl %ecx, %r10d             /* entry number */
  movq %rdx, %rsi              /* args */
  movslq %r8d, %rcx            /* count */
  movq %r9, %rdi               /* stack_delta */
  /* r12: the argument area, at least the 4 home slots, a multiple of 16. */
  movq %rcx, %r12
  cmpq $4, %r12
  jae 1f
  movq $4, %r12
1:
  addq $1, %r12
  andq $-2, %r12
  shlq $3, %r12
  movq %rsp, %rbx              /* recorded before the arguments go on the stack */
  subq %r12, %rsp
2:
  testq %rcx, %rcx
  jz 3f
  movq -8(%rsi,%rcx,8), %rax
  movq %rax, -8(%rsp,%rcx,8)
  decq %rcx
  jmp 2b
3:
  movq 0(%rsp), %rcx
  movq 8(%rsp), %rdx
  movq 16(%rsp), %r8
  movq 24(%rsp), %r9
  movq %rcx, %xmm0             /* floating-point arguments travel in xmm0-xmm3 */
  movq %rdx, %xmm1
  movq %r8, %xmm2
  movq %r9, %xmm3
  movl %r10d, %eax
  call CallNativeEntry
  /* x64 has one convention, in which the callee never removes arguments and the
     caller reclaims its own area: the measure below always comes out 0 here. */
  addq %r12, %rsp
  movq %rsp, %rcx
  subq %rbx, %rcx
  movq %rcx, (%rdi)
  movq %rbp, %rsp
  popq %r12
  popq %rdi
  popq %rsi
  popq %rbx
  popq %rbp
  ret
  .seh_endproc
