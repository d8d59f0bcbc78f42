#pragma once

#include <QWidget>
#include <optional>
#include <string>
#include <vector>

#include "base/Texts.h"
#include "files/CsvReader.h"

namespace velnor {

// Asks which of a CSV file's columns hold the names and which the numbers, offering the
// columns as the file's header names them; nullopt when the user cancels.
std::optional<CsvColumnChoice> chooseCsvColumns(QWidget *parent, const Texts &texts,
                                                const std::vector<std::string> &columns);

} // namespace velnor
