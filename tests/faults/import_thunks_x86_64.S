// The stand-ins that take the place of a watched module's imports, x86-64. Thunk n pushes n and
// enters the common part, which asks fault_decide(n, return address, first argument) whether this
// call fails. If not, the argument registers are as the caller left them and the real function is
// entered by a jump, so it returns straight to the caller. If the call fails, the thunk answers
// the failure's result in rax. The four register arguments are first stored in the home area the
// caller keeps for them above the return address, so the decision sees every argument in a row.
#include "import_thunks.h"

        .text
common:
        // [rsp] n, [rsp+8] return address, [rsp+16..47] home area, [rsp+48] fifth argument
        movq    %rcx, 16(%rsp)
        movq    %rdx, 24(%rsp)
        movq    %r8, 32(%rsp)
        movq    %r9, 40(%rsp)
        subq    $96, %rsp               // 32 bytes for the callee, 64 for xmm0-xmm3; aligned to 16
        movdqu  %xmm0, 32(%rsp)
        movdqu  %xmm1, 48(%rsp)
        movdqu  %xmm2, 64(%rsp)
        movdqu  %xmm3, 80(%rsp)
        movq    96(%rsp), %rcx          // n
        movq    104(%rsp), %rdx         // the return address
        leaq    112(%rsp), %r8          // the first argument's home
        call    fault_decide
        movdqu  32(%rsp), %xmm0
        movdqu  48(%rsp), %xmm1
        movdqu  64(%rsp), %xmm2
        movdqu  80(%rsp), %xmm3
        addq    $96, %rsp
        movq    16(%rsp), %rcx
        movq    24(%rsp), %rdx
        movq    32(%rsp), %r8
        movq    40(%rsp), %r9
        testq   %rax, %rax
        jnz     fail
        popq    %rax                    // n
        leaq    fault_originals(%rip), %r11
        jmp     *(%r11,%rax,8)
fail:
        addq    $8, %rsp                // [rsp] return address
        movq    (%rax), %rax
        ret

        .macro THUNK n
thunk_\n:
        pushq   $\n
        jmp     common
        .endm

        .altmacro
        .macro THUNK_ADDRESS n
        .quad   thunk_\n
        .endm

        .set    i, 0
        .rept   FAULT_THUNK_COUNT
        THUNK   %i
        .set    i, i+1
        .endr

        .section .rdata
        .globl  fault_thunks
fault_thunks:
        .set    i, 0
        .rept   FAULT_THUNK_COUNT
        THUNK_ADDRESS %i
        .set    i, i+1
        .endr
