// The stand-ins that take the place of a watched module's imports, 32-bit x86. Thunk n pushes n
// and enters the common part, which asks fault_decide(n, return address, first argument) whether
// this call fails. If not, the thunk leaves no trace: registers and stack are as the caller left
// them and the real function is entered by a jump, so it returns straight to the caller with its
// own result, whatever its calling convention. If the call fails, the thunk answers the failure's
// result in edx:eax and removes as many argument bytes as the real function would (stdcall and
// thiscall functions remove their arguments, cdecl ones leave them).
#include "import_thunks.h"

        .text
common:
        // [esp] n, [esp+4] return address, [esp+8] first argument
        pushl   %ecx                    // thiscall's object and fastcall arguments stay intact
        pushl   %edx
        leal    16(%esp), %eax
        pushl   %eax                    // the first argument's address
        pushl   16(%esp)                // the return address
        pushl   16(%esp)                // n
        call    _fault_decide
        addl    $12, %esp
        popl    %edx
        popl    %ecx
        testl   %eax, %eax
        jnz     fail
        popl    %eax                    // n
        jmp     *_fault_originals(,%eax,4)
fail:
        // eax: the failed call's answer; the arguments go with the return address
        addl    $4, %esp                // [esp] return address
        movl    8(%eax), %ecx           // argument bytes to remove
        movl    (%esp), %edx
        movl    %edx, (%esp,%ecx)       // the return address over the last argument
        addl    %ecx, %esp
        movl    4(%eax), %edx
        movl    (%eax), %eax
        ret

        .macro THUNK n
thunk_\n:
        pushl   $\n
        jmp     common
        .endm

        .altmacro
        .macro THUNK_ADDRESS n
        .long   thunk_\n
        .endm

        .set    i, 0
        .rept   FAULT_THUNK_COUNT
        THUNK   %i
        .set    i, i+1
        .endr

        .section .rdata
        .globl  _fault_thunks
_fault_thunks:
        .set    i, 0
        .rept   FAULT_THUNK_COUNT
        THUNK_ADDRESS %i
        .set    i, i+1
        .endr
