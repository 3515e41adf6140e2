#pragma once
#include <QDialog>

class QLabel;
class QPushButton;
class QTimer;

// The About box: a borderless picture with the product name, the release and
// a Continue button. At start-up it doubles as the splash window and closes
// itself after a while.
// The splash greets each release once: the settings keep the last release
// greeted, so a start after an update shows it again and others do not.
bool releaseGreeted();
void rememberReleaseGreeted();

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    static constexpr int SplashInterval = 5000;   // milliseconds

    explicit TAboutBox(QWidget* parent = nullptr);

    // Presses Continue after `intervalMs`; without this call the box stays
    // until the user continues.
    void enableAutoClose(int intervalMs);
    bool autoCloseEnabled() const { return autoClose; }

    QPushButton* continueButton() const { return okButton; }
    QWidget* picture() const { return programIcon; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void centreOnScreen();

    QWidget* programIcon;
    QLabel* productNameLabel;
    QLabel* versionLabel;
    QPushButton* okButton;
    QTimer* closeTimer;
    bool autoClose = false;
};
