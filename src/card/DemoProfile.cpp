#include "card/DemoProfile.h"

#include "card/CardFile.h"
#include "card/DemoParts.h"
#include "codec/CMyTools.h"
#include "virtualcard/ProfileFormat.h"
#include "virtualcard/ProfileJson.h"

namespace velnor {

namespace demo {

CardFileSystem::Node addRecordFile(CardFileSystem &files, CardFileSystem::Node directory,
                                   uint16_t id, size_t recordLength, size_t recordCount) {
    const bool inMasterFile = directory == CardFileSystem::Master;
    FileDescription file;
    file.id = id;
    file.structure = EfStructure::LinearFixed;
    file.recordLength = recordLength;
    file.recordCount = recordCount;
    file.read = profile::defaultReadAccess(inMasterFile);
    file.update = profile::defaultUpdateAccess(inMasterFile);
    return *files.add(directory, file);
}

} // namespace demo

namespace {

CardFileSystem::Node addDirectory(CardFileSystem &files, uint16_t id) {
    FileDescription directory;
    directory.id = id;
    directory.kind = FileKind::Dedicated;
    return *files.add(CardFileSystem::Master, directory);
}

} // namespace

CardProfile makeDemoCard(bool cdma) {
    CardProfile card;
    card.atr = *CMyTools::asc2hex(DefaultAtrHex);
    card.chv1.initialised = true;
    card.chv1.enabled = false;
    card.chv1.code = chvCodeFromText("1234");
    card.chv1.unblockCode = chvCodeFromText("12345678");

    const CardFileSystem::Node telecom = addDirectory(card.files, df::Telecom);
    demo::addSubscriberFiles(card.files, telecom, addDirectory(card.files, df::Gsm));
    demo::addPhonebook(card.files, telecom);
    demo::addMessages(card.files, telecom);
    demo::addMessageParameters(card.files, telecom);
    if (cdma) {
        demo::addCdmaMessages(card.files, addDirectory(card.files, df::Cdma));
    }
    return card;
}

std::string makeDemoProfile(bool cdma) {
    return writeCardProfile(makeDemoCard(cdma));
}

} // namespace velnor
