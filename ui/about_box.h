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
  // Drops the repeats of a key held down, so that an Escape or Enter still
  // held (or left down by a tool that sent no release) does not close each
  // new box the moment it opens; the box acts on fresh presses only.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  DesktopShell& shell_;
  QString makerAddress_;
  int releasedKey_ = 0;     // the last key released and when: X repeats a held
  quint64 releasedAt_ = 0;  // key as release-press pairs with one time stamp
};

}  // namespace ui
