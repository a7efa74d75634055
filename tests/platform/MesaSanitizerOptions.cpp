// Linked into the test programs that open OpenGL through Mesa: its shader
// compiler frees some of its blocks with the wrong call and keeps others
// until exit; neither is ours to report.

extern "C" const char* __asan_default_options()
{
    return "alloc_dealloc_mismatch=0";
}
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libLLVM\nleak:swrast_dri\nleak:libEGL_mesa\nleak:libglapi\nleak:libGLX_mesa\n";
}
