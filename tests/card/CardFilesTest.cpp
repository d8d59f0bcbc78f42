// Every card file type against its vectors: each image decodes to its value and encodes back to
// the same bytes, and a longer record whose free part holds more filler reads the same.

#include <gtest/gtest.h>

#include "card/DemoProfile.h"
#include "card/EfAdn.h"
#include "card/EfDir.h"
#include "card/EfIccid.h"
#include "card/EfImsi.h"
#include "card/EfSms.h"
#include "card/EfSmsp.h"
#include "card/Fcp.h"
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

// uicc-templates.json: what an FCP template and an EF DIR record say; bytes that are no
// template give nothing.
TEST(CardFiles, UiccTemplatesSayTheFileAndTheUsim) {
    const std::map<std::string, Fcp::Type> types = {{"Directory", Fcp::Type::Directory},
                                                    {"Transparent", Fcp::Type::Transparent},
                                                    {"LinearFixed", Fcp::Type::LinearFixed},
                                                    {"BerTlv", Fcp::Type::BerTlv}};
    auto bytes = [](const test::json &hex) {
        std::string text = hex.get<std::string>();
        std::erase(text, ' ');
        return *CMyTools::asc2hex(text);
    };
    for (const test::json &v : test::loadVectors("card/uicc-templates.json")) {
        SCOPED_TRACE(v.dump());
        if (v.contains("dir")) {
            const auto aid = EfDir::usimAid(bytes(v["dir"]));
            EXPECT_EQ(aid,
                      v.contains("aid") ? std::optional<Bytes>(bytes(v["aid"])) : std::nullopt);
            continue;
        }
        const std::optional<Fcp> fcp = parseFcp(bytes(v["fcp"]));
        ASSERT_EQ(fcp.has_value(), !v.value("invalid", false));
        if (!fcp) {
            continue;
        }
        EXPECT_EQ(fcp->type, types.at(v["type"]));
        EXPECT_EQ(fcp->fileId, v.value("fileId", 0));
        EXPECT_EQ(fcp->size, v.value("size", 0u));
        EXPECT_EQ(fcp->recordLength, v.value("recordLength", 0));
        EXPECT_EQ(fcp->recordCount, v.value("recordCount", 0));
        EXPECT_EQ(fcp->sfi, v.value("sfi", 0));
        EXPECT_EQ(fcp->aid, v.contains("aid") ? bytes(v["aid"]) : Bytes());
        EXPECT_EQ(fcp->pin1Enabled,
                  v.contains("pin1") ? std::optional<bool>(v["pin1"]) : std::nullopt);
    }
}

} // namespace
} // namespace velnor
