#include "base/StatusPanes.h"

#include "base/TextIds.h"

namespace velnor {

namespace {

int kindText(CardKind kind) {
    switch (kind) {
    case CardKind::UiccWithUsim:
        return text::CardKindUiccWithUsim;
    case CardKind::UsimOnly:
        return text::CardKindUsimOnly;
    case CardKind::GsmSim:
        break;
    }
    return text::CardKindGsmSim;
}

} // namespace

void StatusLine::showReader(int id, uint8_t versionByte, uint16_t versionValue) {
    memory_.reader = {id, versionByte, versionValue};
    draw(0);
}

void StatusLine::showCard(int id, const std::string &identity) {
    memory_.card = {id, identity};
    draw(1);
}

void StatusLine::showProgress(int id, uint16_t first, uint16_t second) {
    memory_.progress = {id, first, second};
    draw(2);
}

void StatusLine::clear(int pane) {
    if (pane == 0) {
        memory_.reader = {};
    } else if (pane == 1) {
        memory_.card = {};
    } else {
        memory_.progress = {};
    }
    draw(pane);
}

void StatusLine::refresh() {
    for (int pane = 0; pane < 3; ++pane) {
        draw(pane);
    }
}

void StatusLine::draw(int pane) {
    std::string text;
    if (pane == 0 && memory_.reader.id != 0) {
        text =
            texts_.format(memory_.reader.id, {static_cast<long long>(memory_.reader.versionByte),
                                              static_cast<long long>(memory_.reader.versionValue)});
    } else if (pane == 1 && memory_.card.id != 0) {
        text = texts_.format(memory_.card.id, {memory_.card.identity});
        if (memory_.card.id == text::CardPresent && link_ != nullptr) {
            text = texts_.format(text::CardWithKind, {text, texts_.get(kindText(link_->cardKind))});
        }
    } else if (pane == 2 && memory_.progress.id != 0) {
        text =
            texts_.format(memory_.progress.id, {static_cast<long long>(memory_.progress.first),
                                                static_cast<long long>(memory_.progress.second)});
    }
    panes_.showPane(pane, text);
}

} // namespace velnor
