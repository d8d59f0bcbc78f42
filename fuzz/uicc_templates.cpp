// FCP templates, EF DIR and EF PBR records and linked phonebook records as a UICC may send them.
// Whatever comes in, the parse stays inside the bytes given: an AID found is part of them, a
// record count is never more than the template could say, and each file a PBR record names
// took at least four of its bytes.

#include <algorithm>
#include <cstdlib>

#include "card/EfDir.h"
#include "card/EfPbr.h"
#include "card/Fcp.h"
#include "card/LinkedRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    using namespace velnor;
    const std::span<const uint8_t> bytes(data, size);
    if (const std::optional<Fcp> fcp = parseFcp(bytes)) {
        if (fcp->aid.size() > size || fcp->sfi > 0x1F ||
            (fcp->recordLength != 0 && fcp->recordCount > std::max<size_t>(fcp->size, 255))) {
            std::abort();
        }
    }
    if (const std::optional<Bytes> aid = EfDir::usimAid(bytes)) {
        if (aid->size() < 7 ||
            std::search(bytes.begin(), bytes.end(), aid->begin(), aid->end()) == bytes.end()) {
            std::abort();
        }
    }
    if (const std::optional<PbrSet> set = EfPbr::decode(bytes)) {
        if ((set->type1.size() + set->type2.size() + set->type3.size()) * 4 > size) {
            std::abort();
        }
    }
    for (const uint8_t tag : {pbr::Email, pbr::Anr, pbr::Sne}) {
        LinkedRecord::decode(tag, bytes, size % 2 == 0);
    }
    return 0;
}
