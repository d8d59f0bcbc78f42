#pragma once

#include <QDialog>
#include <string>

#include "base/Texts.h"

namespace velnor {

inline constexpr const char *kVersionText = "Ver 2.0.0409.2008";

// The About box: the program, its version, the installation's name and company (velnor.cfg,
// Customization AppName and CompanyName, shown when set) and the ownership notice.
class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    CAboutDlg(const Texts &texts, const std::string &appName, const std::string &companyName,
              QWidget *parent = nullptr);
};

} // namespace velnor
