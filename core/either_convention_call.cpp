#include "core/either_convention_call.h"

// cdecl entry: 8(%ebp) function, 12(%ebp) and 16(%ebp) the double, 20(%ebp)
// buffer, 24(%ebp) precision. %ebp is preserved by callees of both
// conventions, so it carries the stack pointer across the call.
asm(R"(
    .text
    .globl _CallEitherConvention
    .def _CallEitherConvention; .scl 2; .type 32; .endef
_CallEitherConvention:
    pushl %ebp
    movl %esp, %ebp
    pushl 24(%ebp)
    pushl 20(%ebp)
    pushl 16(%ebp)
    pushl 12(%ebp)
    call *8(%ebp)
    movl %ebp, %esp
    popl %ebp
    ret
)");
