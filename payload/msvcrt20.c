/* Sample stand-in for the C runtime library that the installer places in
 * the system directory. It is built twice: once as the variant for
 * Windows NT and Windows 95, once (with SAMPLE_WIN32S defined) as the
 * variant for Win32s. Each says which one it is. */
#include <windows.h>

#ifdef SAMPLE_WIN32S
#define SAMPLE_VARIANT "Win32s"
#else
#define SAMPLE_VARIANT "Windows NT and Windows 95"
#endif

/* A marker that a byte search of the file finds as well. */
static const char kVariant[] = "Sample C runtime stand-in for " SAMPLE_VARIANT;

__declspec(dllexport) const char *SampleRuntimeVariant(void)
{
    return kVariant;
}
