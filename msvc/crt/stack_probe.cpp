// __chkstk: the compiler calls it on entry to a function whose frame spans more than a page,
// with the frame's size in EAX/RAX, to touch each page of the new frame in order, so that
// the guard page below the stack grows it one page at a time instead of being skipped.
// The 64-bit probe leaves RSP as it was; the 32-bit one, as Microsoft's, also moves ESP
// down by the size. Every other register is kept.

#ifdef _WIN64
__asm__(
    ".text\n"
    ".globl __chkstk\n"
    ".def __chkstk; .scl 2; .type 32; .endef\n"
    ".seh_proc __chkstk\n"
    "__chkstk:\n"
    "  pushq %rcx\n"
    "  .seh_pushreg %rcx\n"
    "  pushq %rax\n"
    "  .seh_pushreg %rax\n"
    "  .seh_endprologue\n"
    "  leaq 24(%rsp), %rcx\n"  // RSP of the caller
    "  cmpq $0x1000, %rax\n"
    "  jb 2f\n"
    "1:\n"
    "  subq $0x1000, %rcx\n"
    "  orq $0, (%rcx)\n"
    "  subq $0x1000, %rax\n"
    "  cmpq $0x1000, %rax\n"
    "  ja 1b\n"
    "2:\n"
    "  subq %rax, %rcx\n"
    "  orq $0, (%rcx)\n"
    "  popq %rax\n"
    "  popq %rcx\n"
    "  ret\n"
    ".seh_endproc\n");
#else
__asm__(
    ".text\n"
    ".globl __chkstk\n"
    ".def __chkstk; .scl 2; .type 32; .endef\n"
    "__chkstk:\n"
    "  pushl %ecx\n"
    "  leal 8(%esp), %ecx\n"  // ESP of the caller
    "  cmpl $0x1000, %eax\n"
    "  jb 2f\n"
    "1:\n"
    "  subl $0x1000, %ecx\n"
    "  orl $0, (%ecx)\n"
    "  subl $0x1000, %eax\n"
    "  cmpl $0x1000, %eax\n"
    "  ja 1b\n"
    "2:\n"
    "  subl %eax, %ecx\n"
    "  orl $0, (%ecx)\n"
    "  movl %esp, %eax\n"  // the saved ECX and the return address
    "  movl %ecx, %esp\n"  // the new frame
    "  movl (%eax), %ecx\n"
    "  pushl 4(%eax)\n"
    "  ret\n");
#endif
