// The sign list (signs.ini): load, look every sign up by name.
#include "FuzzFile.h"
#include "link/SignList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    SignList list(fuzzInputFile(data, size, "signs.ini"));
    list.load();
    for (const SignList::Sign &sign : list.signs())
        (void)list.find(sign.name);
    return 0;
}
