// The About box: product name, version, the maker's notice and web link.
#pragma once

#include <QDialog>

namespace ui {

class DesktopShell;

class AboutBox : public QDialog {
  Q_OBJECT
 public:
  AboutBox(DesktopShell& shell, const QString& makerNotice, const QString& makerAddress);

  void Form_Load();     // sets the title bar text
  void Label1_Click();  // opens the maker's web page; every failure is ignored

 signals:
  // The user closed the box (Close, Enter, Escape or the close box).
  void closeRequested();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void done(int result) override;

 private:
  DesktopShell& shell_;
  QString makerAddress_;
};

}  // namespace ui
