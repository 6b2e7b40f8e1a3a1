#pragma once

#include <QDialog>

namespace kivo {

/// The version dialog: the application icon, the program name with its version, and OK.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget *parent = nullptr);
};

} // namespace kivo
