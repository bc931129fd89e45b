#include "shell/frm_about.h"

#include "core/app_identity.h"
#include "shell/artwork.h"
#include "views/twips.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace qmt::shell {

namespace {

const QColor VisitedLinkColour(128, 0, 128);
const QColor LinkColour(0, 0, 204);
constexpr int LogoPixels = 48;

QLabel* WrappedLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

void SetTextColour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

} // namespace

FrmAbout::FrmAbout(const QWidget& mainWindow, UrlOpener openUrl, QWidget* parent)
    : QWidget(parent), mainWindow_(mainWindow), openUrl_(std::move(openUrl)) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About the  QMT6171/2/3 Software"));
    setWindowIcon(ProductIcon());
    BuildControls();
    lblVersion_->setText(core::VersionText());
}

QUrl FrmAbout::WebAddress() {
    return QUrl(QStringLiteral("https://qmt-sensors.example/"));
}

QPoint FrmAbout::Position(QSize mainWindow, QSize ownOuterSize, double logicalDpi) {
    const int left = mainWindow.width() / 2 - ownOuterSize.width() / 2;
    const int top = mainWindow.height() / 2 - ownOuterSize.height() / 2 -
                    views::TwipsToPixels(RaiseTwips, logicalDpi);
    return {std::max(left, 0), std::max(top, 0)};
}

void FrmAbout::BuildControls() {
    auto* frame1 = new QFrame(this);
    frame1->setObjectName(QStringLiteral("Frame1"));
    frame1->setFrameShape(QFrame::StyledPanel);
    frame1->setFrameShadow(QFrame::Sunken);

    auto* logo = new QLabel(frame1);
    logo->setPixmap(ProductIcon().pixmap(LogoPixels, LogoPixels));
    logo->setAlignment(Qt::AlignTop);

    label1_ = new QLabel(QStringLiteral("QMT6171/2/3 Evaluation Software Version"), frame1);
    lblVersion_ = new QLabel(frame1);
    QFont bold = lblVersion_->font();
    bold.setBold(true);
    lblVersion_->setFont(bold);
    label2_ = WrappedLabel(QStringLiteral("Evaluation software for the QMT6171, QMT6172 and "
                                          "QMT6173 digital temperature sensors."),
                           frame1);
    label5_ = WrappedLabel(QStringLiteral("For data sheets, application notes and updates "
                                          "visit our web site:"),
                           frame1);
    label6_ = new QLabel(WebAddress().toString(), frame1);
    QFont underlined = label6_->font();
    underlined.setUnderline(true);
    label6_->setFont(underlined);
    SetTextColour(label6_, LinkColour);
    label6_->setCursor(Qt::PointingHandCursor);
    label6_->setToolTip(WebAddress().toString());
    label6_->installEventFilter(this);

    auto* versionLine = new QHBoxLayout;
    versionLine->setSpacing(4);
    versionLine->addWidget(label1_);
    versionLine->addWidget(lblVersion_);
    versionLine->addStretch();
    auto* texts = new QVBoxLayout;
    texts->addLayout(versionLine);
    texts->addWidget(label2_);
    texts->addSpacing(6);
    texts->addWidget(label5_);
    texts->addWidget(label6_);
    texts->addStretch();
    auto* frameLayout = new QHBoxLayout(frame1);
    frameLayout->addWidget(logo);
    frameLayout->addSpacing(6);
    frameLayout->addLayout(texts, 1);

    cmdOK_ = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdOK_->setDefault(true);
    connect(cmdOK_, &QPushButton::clicked, this, &FrmAbout::cmdOK_Click);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame1, 1);
    layout->addLayout(buttons);
}

void FrmAbout::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (placed_) {
        return;
    }
    placed_ = true;
    QWidget& outer = views::SetOuterSizeTwips(*this, WidthTwips, HeightTwips);
    outer.move(Position(mainWindow_.size(), outer.size(), views::LogicalDpi(this)));
}

bool FrmAbout::eventFilter(QObject* watched, QEvent* event) {
    if (watched == label6_ && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        Label6_Click();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void FrmAbout::Label6_Click() {
    openUrl_(WebAddress());
    SetTextColour(label6_, VisitedLinkColour);
}

void FrmAbout::cmdOK_Click() {
    views::OuterWindow(*this).close();
}

} // namespace qmt::shell
