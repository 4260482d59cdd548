#include "tests/fuzz/fuzz_util.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace fuzz {

std::string RandomText(Rng &rng, int maxLen, const char *alphabet)
{
    int len = (int)rng.Below((uint32_t)maxLen + 1);
    // Short texts are where most rules meet; favour them.
    if (rng.OneIn(2))
        len = (int)rng.Below((uint32_t)(maxLen < 12 ? maxLen : 12) + 1);
    size_t alen = alphabet ? strlen(alphabet) : 0;
    std::string s;
    s.reserve(len);
    for (int i = 0; i < len; i++) {
        if (alen && !rng.OneIn(8))
            s += alphabet[rng.Below((uint32_t)alen)];
        else
            s += (char)(1 + rng.Below(255));
    }
    return s;
}

Guarded::Guarded(size_t capacity) : base_(NULL), end_(NULL), capacity_(0)
{
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    size_t page = si.dwPageSize;
    size_t usable = (capacity + page - 1) / page * page;
    unsigned char *p = (unsigned char *)VirtualAlloc(NULL, usable + page, MEM_RESERVE | MEM_COMMIT,
                                                     PAGE_READWRITE);
    if (!p)
        return;
    DWORD old = 0;
    if (!VirtualProtect(p + usable, page, PAGE_NOACCESS, &old)) {
        VirtualFree(p, 0, MEM_RELEASE);
        return;
    }
    base_ = p;
    end_ = p + usable;
    capacity_ = usable;
}

Guarded::~Guarded()
{
    if (base_)
        VirtualFree(base_, 0, MEM_RELEASE);
}

char *Guarded::PlaceText(const std::string &text) const
{
    char *p = (char *)Tail(text.size() + 1);
    memcpy(p, text.c_str(), text.size() + 1);
    return p;
}

int Guarded::GuardIsLive() const
{
    if (!end_)
        return 0;
    MEMORY_BASIC_INFORMATION mbi;
    if (VirtualQuery(end_, &mbi, sizeof mbi) != sizeof mbi)
        return 0;
    return mbi.Protect == PAGE_NOACCESS && IsBadReadPtr(end_, 1) && !IsBadReadPtr(end_ - 1, 1);
}

namespace {

const char *gWhat = NULL;
const std::string *gInput = NULL;

LONG CALLBACK PrintInput(EXCEPTION_POINTERS *info)
{
    DWORD code = info->ExceptionRecord->ExceptionCode;
    if (code != EXCEPTION_ACCESS_VIOLATION && code != EXCEPTION_STACK_OVERFLOW &&
        code != EXCEPTION_INT_DIVIDE_BY_ZERO && code != EXCEPTION_ILLEGAL_INSTRUCTION)
        return EXCEPTION_CONTINUE_SEARCH;
    printf("fuzz: exception 0x%08lX in %s on input of %u bytes:", (unsigned long)code,
           gWhat ? gWhat : "?", gInput ? (unsigned)gInput->size() : 0u);
    if (gInput)
        for (size_t i = 0; i < gInput->size() && i < 400; i++)
            printf(" %02X", (unsigned char)(*gInput)[i]);
    printf("\n");
    fflush(stdout);
    return EXCEPTION_CONTINUE_SEARCH;
}

} // namespace

FaultReporter::FaultReporter(const char *what) : handler_(NULL)
{
    gWhat = what;
    gInput = NULL;
    handler_ = AddVectoredExceptionHandler(1, PrintInput);
}

FaultReporter::~FaultReporter()
{
    if (handler_)
        RemoveVectoredExceptionHandler(handler_);
    gWhat = NULL;
    gInput = NULL;
}

void FaultReporter::Current(const std::string *input)
{
    gInput = input;
}

long Loops(long full)
{
    char v[32];
    DWORD n = GetEnvironmentVariableA("FUZZ_LOOPS", v, sizeof v);
    if (n > 0 && n < sizeof v) {
        if (lstrcmpiA(v, "full") == 0)
            return full;
        long times = atol(v);
        if (times > 0)
            return full * times;
    }
    long trimmed = full / 20;
    return trimmed < 100 ? (full < 100 ? full : 100) : trimmed;
}

void Report(const char *what, long count, long failures)
{
    printf("fuzz: %s %ld inputs, %ld failures (seed 0x%llX)\n", what, count, failures,
           (unsigned long long)kSeed);
    fflush(stdout);
}

} // namespace fuzz
