#pragma once

#include <QUrl>
#include <QWidget>
#include <functional>

class QFrame;
class QLabel;
class QPushButton;

namespace qmt::shell {

// The About child window: title, version and a link to the maker's web
// site. It places itself once, when it is loaded, from the main window's
// size alone.
class FrmAbout final : public QWidget {
    Q_OBJECT

public:
    static constexpr double WidthTwips = 6000;
    static constexpr double HeightTwips = 3300;
    // The window sits this much above the middle of the main window.
    static constexpr double RaiseTwips = 1500;

    using UrlOpener = std::function<void(const QUrl& url)>;

    FrmAbout(const QWidget& mainWindow, UrlOpener openUrl, QWidget* parent = nullptr);

    static QUrl WebAddress();
    // Where the window goes inside the main window's work area, in pixels;
    // never above or left of it, so that its caption stays reachable.
    static QPoint Position(QSize mainWindow, QSize ownOuterSize, double logicalDpi);

    QLabel* Label1() const { return label1_; }
    QLabel* lblVersion() const { return lblVersion_; }
    QLabel* Label2() const { return label2_; }
    QLabel* Label5() const { return label5_; }
    QLabel* Label6() const { return label6_; }
    QPushButton* cmdOK() const { return cmdOK_; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void Label6_Click();
    void cmdOK_Click();

    const QWidget& mainWindow_;
    UrlOpener openUrl_;
    QLabel* label1_ = nullptr;
    QLabel* lblVersion_ = nullptr;
    QLabel* label2_ = nullptr;
    QLabel* label5_ = nullptr;
    QLabel* label6_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    bool placed_ = false;
};

} // namespace qmt::shell
