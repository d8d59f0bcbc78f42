#include "card/DemoProfile.h"

#include "card/CardFile.h"
#include "card/DemoParts.h"
#include "card/EfAdn.h"
#include "card/EfSms.h"
#include "card/EfSmsp.h"
#include "codec/CMyTools.h"
#include "virtualcard/ProfileFormat.h"
#include "virtualcard/ProfileJson.h"

namespace velnor {

namespace demo {

CardFileSystem::Node addRecordFile(CardFileSystem &files, CardFileSystem::Node directory,
                                   uint16_t id, size_t recordLength, size_t recordCount,
                                   uint8_t sfi) {
    const bool inMasterFile = directory == CardFileSystem::Master;
    FileDescription file;
    file.id = id;
    file.structure = EfStructure::LinearFixed;
    file.recordLength = recordLength;
    file.recordCount = recordCount;
    file.read = profile::defaultReadAccess(inMasterFile);
    file.update = profile::defaultUpdateAccess(inMasterFile);
    file.sfi = sfi;
    return *files.add(directory, file);
}

} // namespace demo

namespace {

// The USIM demo card's AID: the USIM's RID and application code (TS 101 220, Annex E), then
// the code of a test card.
constexpr std::string_view UsimAidHex = "A0000000871002FF49FF0589";

CardFileSystem::Node addDirectory(CardFileSystem &files, uint16_t id) {
    FileDescription directory;
    directory.id = id;
    directory.kind = FileKind::Dedicated;
    return *files.add(CardFileSystem::Master, directory);
}

// A UICC keeps its messages under the USIM; DF TELECOM shows the same files to the GSM view,
// and its EF ADN the first ADN set of the USIM phonebook.
void addUsimFiles(CardProfile &card, CardFileSystem::Node telecom, bool classA0, bool full) {
    card.uicc = UiccSettings{classA0, *CMyTools::asc2hex(UsimAidHex)};
    profile::addUiccFiles(card.files, *card.uicc);
    const CardFileSystem::Node usim =
        *card.files.child(CardFileSystem::Master, CardFileSystem::AdfId);
    demo::addMessages(card.files, usim);
    demo::addMessageParameters(card.files, usim);
    const CardFileSystem::Node firstAdn = demo::addUsimPhonebook(card.files, telecom, full);
    card.files.addLink(telecom, EfAdn::id, firstAdn);
    card.files.addLink(telecom, EfSms::id, *card.files.child(usim, EfSms::id));
    card.files.addLink(telecom, EfSmsp::id, *card.files.child(usim, EfSmsp::id));
}

} // namespace

CardProfile makeDemoCard(bool cdma, CardKind kind, bool fullUsimPhonebook) {
    CardProfile card;
    card.atr = *CMyTools::asc2hex(DefaultAtrHex);
    card.chv1.initialised = true;
    card.chv1.enabled = false;
    card.chv1.code = chvCodeFromText("1234");
    card.chv1.unblockCode = chvCodeFromText("12345678");

    const CardFileSystem::Node telecom = addDirectory(card.files, df::Telecom);
    demo::addSubscriberFiles(card.files, telecom, addDirectory(card.files, df::Gsm));
    if (kind != CardKind::GsmSim) {
        addUsimFiles(card, telecom, kind == CardKind::UiccWithUsim, fullUsimPhonebook);
        return card;
    }
    demo::addPhonebook(card.files, telecom, EfAdn::id);
    demo::addMessages(card.files, telecom);
    demo::addMessageParameters(card.files, telecom);
    if (cdma) {
        demo::addCdmaMessages(card.files, addDirectory(card.files, df::Cdma));
    }
    return card;
}

std::string makeDemoProfile(bool cdma, CardKind kind) {
    return writeCardProfile(makeDemoCard(cdma, kind));
}

} // namespace velnor
