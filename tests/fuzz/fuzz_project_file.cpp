// The project file: the bounded load, then a walk over every element with
// the cursor the loader uses, reading each one's text.
#include "FuzzFile.h"
#include "model/XmlDocument.h"

namespace {
void walk(XmlDocument &doc, int depth)
{
    while (doc.findElem()) {
        (void)doc.getData();
        if (depth < XmlDocument::kMaxDepth && doc.intoElem()) {
            walk(doc, depth + 1);
            doc.outOfElem();
        }
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    XmlDocument doc;
    if (doc.load(fuzzInputFile(data, size, "default.brivprj")))
        walk(doc, 0);
    return 0;
}
