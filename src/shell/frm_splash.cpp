#include "shell/frm_splash.h"

#include "core/app_identity.h"
#include "shell/artwork.h"
#include "views/twips.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QWindow>

namespace qmt::shell {

namespace {

constexpr int MarginTwips = 360;
constexpr int LogoTwips = 1260;
constexpr int TextLeftTwips = MarginTwips + LogoTwips + 300;
constexpr int TextWidthTwips = FrmSplash::WidthTwips - TextLeftTwips - MarginTwips;
constexpr int Line1TopTwips = 2160;
constexpr int StageTopTwips = 2460;
constexpr int BarTopTwips = 2880;
constexpr int BarHeightTwips = 200;
constexpr int Line2TopTwips = 3600;
// Longest wait for the window system to map the window before painting it.
constexpr int MapTimeoutMs = 1000;

void SetTextColour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

void SetPointSize(QLabel* label, double points, bool bold = false) {
    QFont font = label->font();
    font.setPointSizeF(points);
    font.setBold(bold);
    label->setFont(font);
}

} // namespace

FrmSplash::FrmSplash(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint),
      dpi_(views::LogicalDpi(nullptr)) {
    setObjectName(QStringLiteral("frmSplash"));
    setFixedSize(Px(WidthTwips), Px(HeightTwips));

    auto* logo = new QLabel(this);
    logo->setGeometry(Px(MarginTwips), Px(MarginTwips + 60), Px(LogoTwips), Px(LogoTwips));
    logo->setPixmap(ProductIcon().pixmap(logo->size()));

    const auto textLabel = [this](const char* name, int topTwips, int heightTwips) {
        auto* label = new QLabel(this);
        label->setObjectName(QLatin1String(name));
        label->setGeometry(Px(TextLeftTwips), Px(topTwips), Px(TextWidthTwips), Px(heightTwips));
        SetTextColour(label, Qt::white);
        return label;
    };
    lblProductName_ = textLabel("lblProductName", MarginTwips + 60, 520);
    SetPointSize(lblProductName_, 15, true);
    lines_[2] = MakeLine(TextLeftTwips, MarginTwips + 640, 900, QStringLiteral("#f5a623"));
    lblVersion_ = textLabel("lblVersion", MarginTwips + 760, 340);
    SetPointSize(lblVersion_, 10.5);
    lblPlatform_ = textLabel("lblPlatform", MarginTwips + 1100, 320);
    lblPlatform_->setText(core::PlatformText());
    SetTextColour(lblPlatform_, QColor(0xb8, 0xcd, 0xe6));

    lines_[0] = MakeLine(MarginTwips, Line1TopTwips, BarTwips, QStringLiteral("#5b86b8"));

    lblProgInfo_ = new QLabel(this);
    lblProgInfo_->setObjectName(QStringLiteral("lblProgInfo"));
    lblProgInfo_->setGeometry(Px(MarginTwips), Px(StageTopTwips), Px(BarTwips), Px(340));
    SetTextColour(lblProgInfo_, QColor(0xe8, 0xf0, 0xfa));
    lblProgInfo_->hide();

    progressTrack_ = new QWidget(this);
    progressTrack_->setObjectName(QStringLiteral("progressTrack"));
    progressTrack_->setGeometry(Px(MarginTwips), Px(BarTopTwips), Px(BarTwips), Px(BarHeightTwips));
    progressTrack_->setAttribute(Qt::WA_StyledBackground);
    progressTrack_->setStyleSheet(
        QStringLiteral(
            "#progressTrack { background: rgba(255, 255, 255, 36); border-radius: %1px; }")
            .arg(Px(BarHeightTwips) / 2));
    progressTrack_->hide();
    lblProgress_ = new QLabel(progressTrack_);
    lblProgress_->setObjectName(QStringLiteral("lblProgress"));
    lblProgress_->setGeometry(0, 0, 0, Px(BarHeightTwips));
    lblProgress_->setStyleSheet(
        QStringLiteral("#lblProgress { border-radius: %1px; background: qlineargradient("
                       "x1:0, y1:0, x2:0, y2:1, stop:0 #ffc15e, stop:1 #f08a24); }")
            .arg(Px(BarHeightTwips) / 2));

    lines_[1] = MakeLine(MarginTwips, Line2TopTwips, BarTwips, QStringLiteral("#2f5a8c"));
    auto* footer = new QLabel(QStringLiteral("Digital temperature sensors with two remote "
                                             "channels"),
                              this);
    footer->setGeometry(Px(MarginTwips), Px(Line2TopTwips + 120), Px(BarTwips), Px(300));
    SetPointSize(footer, 8.5);
    SetTextColour(footer, QColor(0x8f, 0xaa, 0xcc));

    Load();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void FrmSplash::Load() {
    lblVersion_->setText(QStringLiteral("Version ") + core::VersionText());
    lblProductName_->setText(core::ApplicationTitle());
}

void FrmSplash::ShowAndPaint() {
    show();
    // The window system maps the window asynchronously; painting before it
    // is mapped would be lost, and start-up does not run the event loop.
    const QDeadlineTimer deadline(MapTimeoutMs);
    while (windowHandle() != nullptr && !windowHandle()->isExposed() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
    }
    repaint();
}

void FrmSplash::ShowProgressControls() {
    lblProgInfo_->show();
    progressTrack_->show();
    repaint();
}

void FrmSplash::ShowStage(const std::string& text) {
    const QString stage = QString::fromStdString(text);
    lblProgInfo_->setText(stage);
    lblProgInfo_->repaint();
    emit stageShown(stage);
}

void FrmSplash::SetBarWidth(double twips) {
    progressTwips_ = twips;
    lblProgress_->resize(Px(twips), lblProgress_->height());
    progressTrack_->repaint();
    emit progressChanged(twips);
}

void FrmSplash::ShowStatus(const std::string& text) {
    emit statusMessage(QString::fromStdString(text));
}

void FrmSplash::ProcessPendingEvents() {
    QCoreApplication::processEvents();
}

void FrmSplash::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QLinearGradient background(0, 0, 0, height());
    background.setColorAt(0.0, QColor(0x16, 0x3a, 0x66));
    background.setColorAt(1.0, QColor(0x0a, 0x1f, 0x3d));
    painter.fillRect(rect(), background);
    painter.setPen(QColor(0x2f, 0x5a, 0x8c));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

int FrmSplash::Px(double twips) const {
    return views::TwipsToPixels(twips, dpi_);
}

QFrame* FrmSplash::MakeLine(int leftTwips, int topTwips, int lengthTwips, const QString& colour) {
    auto* line = new QFrame(this);
    line->setGeometry(Px(leftTwips), Px(topTwips), Px(lengthTwips), 1);
    line->setFrameShape(QFrame::NoFrame);
    line->setAutoFillBackground(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, QColor(colour));
    line->setPalette(palette);
    return line;
}

} // namespace qmt::shell
