// Every card file type against its vectors: each image decodes to its value and encodes back to
// the same bytes, and a longer record whose free part holds more filler reads the same.

#include <gtest/gtest.h>

#include "card/DemoProfile.h"
#include "card/EfAdn.h"
#include "card/EfIccid.h"
#include "card/EfImsi.h"
#include "card/EfSms.h"
#include "card/EfSmsp.h"
#include "support/TestVectors.h"

namespace velnor {
namespace {

template <typename File> void checkVectors() {
    for (const FileVector<typename File::Value> &v : File::vectors()) {
        SCOPED_TRACE(v.image);
        const Bytes image = *CMyTools::asc2hex(v.image);
        EXPECT_EQ(File::decode(image), v.value);
        if (v.foreign) {
            continue;
        }
        const typename File::Value &written = v.written ? *v.written : v.value;
        Bytes encoded;
        if constexpr (requires { File::encode(written, image.size(), true); }) {
            encoded = File::encode(written, image.size(), v.ucs82Unsupported);
        } else {
            encoded = File::encode(written, image.size());
        }
        EXPECT_EQ(CMyTools::hex2asc(encoded.data(), encoded.size()), v.image);
        if (image.size() < File::tail) {
            continue;
        }
        for (const uint8_t fill : File::paddings) {
            Bytes longer = image;
            longer.insert(longer.end() - static_cast<std::ptrdiff_t>(File::tail), 4, fill);
            EXPECT_EQ(File::decode(longer), v.value) << "padded with " << int(fill);
        }
    }
}

TEST(CardFiles, DecodeEncodeAndPadding) {
    checkVectors<EfIccid>();
    checkVectors<EfImsi>();
    checkVectors<EfAdn>();
    checkVectors<EfSms>();
    checkVectors<EfCdmaSms>();
    checkVectors<EfSmsp>();
}

// The demo cards, whose files the types encode, are written byte for byte as kept.
TEST(CardFiles, DemoCardsAreWrittenAsKept) {
    EXPECT_EQ(makeDemoProfile(false), test::vectorText("virtualcard/demo-gsm.json"));
    EXPECT_EQ(makeDemoProfile(true), test::vectorText("virtualcard/demo-cdma.json"));
}

} // namespace
} // namespace velnor
