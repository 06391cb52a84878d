#include "platform/qtservices.h"

#include "platform/dialoglock.h"
#include "platform/modules.h"
#include "platform/pictureicon.h"
#include "platform/printmodule.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QIcon>
#include <QInputDialog>
#include <QMessageBox>
#include <QRegularExpression>
#include <QProcess>
#include <QPushButton>
#include <QSystemTrayIcon>

namespace platform {

namespace {

// The size a tray gives an icon before it lays it out (the common desktop's).
const QSize kTrayIconSize(22, 22);

// Runs a seam's dialog modally. While the program is locked it does not show, and the lock closes
// it: either way the caller sees it cancelled.
int execUnlessLocked(QDialog &dialog)
{
    if (dialogsLocked())
        return QDialog::Rejected;
    const OpenDialog open([&dialog] { dialog.reject(); });
    const int result = dialog.exec();
    return open.closedByLock() ? int(QDialog::Rejected) : result;
}

} // namespace

// ---- message boxes

Answer QtMessageBoxes::show(const MessageBoxRequest &r)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(r.title);
    box.setText(r.text);
    switch (r.icon) {
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::Stop: box.setIcon(QMessageBox::Critical); break;
    case Icon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    }
    struct Choice { QMessageBox::StandardButton button; Answer answer; QString caption; };
    QList<Choice> choices;
    switch (r.buttons) {
    case Buttons::Ok: choices = {{QMessageBox::Ok, Answer::Ok, QStringLiteral("确定")}}; break;
    case Buttons::OkCancel:
        choices = {{QMessageBox::Ok, Answer::Ok, QStringLiteral("确定")}, {QMessageBox::Cancel, Answer::Cancel, QStringLiteral("取消")}};
        break;
    case Buttons::YesNo:
        choices = {{QMessageBox::Yes, Answer::Yes, QStringLiteral("是(&Y)")}, {QMessageBox::No, Answer::No, QStringLiteral("否(&N)")}};
        break;
    case Buttons::YesNoCancel:
        choices = {{QMessageBox::Yes, Answer::Yes, QStringLiteral("是(&Y)")}, {QMessageBox::No, Answer::No, QStringLiteral("否(&N)")},
                   {QMessageBox::Cancel, Answer::Cancel, QStringLiteral("取消")}};
        break;
    case Buttons::RetryCancel:
        choices = {{QMessageBox::Retry, Answer::Retry, QStringLiteral("重试(&R)")}, {QMessageBox::Cancel, Answer::Cancel, QStringLiteral("取消")}};
        break;
    }
    for (int i = 0; i < choices.size(); ++i) {
        QPushButton *b = box.addButton(choices[i].button);
        b->setText(choices[i].caption);
        b->setAccessibleName(choices[i].caption);
        if (i + 1 == r.defaultButton)
            box.setDefaultButton(b);
    }
    const OpenDialog open([&box] { box.reject(); });
    const auto clicked = QMessageBox::StandardButton(box.exec());
    if (open.closedByLock())
        return cancelAnswer(r.buttons);
    for (const Choice &c : choices)
        if (c.button == clicked)
            return c.answer;
    // Closed with Escape or the title bar.
    return cancelAnswer(r.buttons);
}

// ---- file dialogs

QString QtFileDialogs::saveFile(const SaveFileRequest &r, QString *selectedFilter)
{
    QFileDialog dialog(QApplication::activeWindow(), r.title, r.folder, r.filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(r.extension);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !r.confirmOverwrite);
    dialog.selectFile(r.fileName);
    // The suffix added to a bare name follows the filter the user picks, not only the first one.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString &filter) {
        static const QRegularExpression pattern(QStringLiteral("\\*\\.([A-Za-z0-9]+)"));
        const QRegularExpressionMatch m = pattern.match(filter);
        if (m.hasMatch())
            dialog.setDefaultSuffix(m.captured(1));
    });
    if (execUnlessLocked(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    if (selectedFilter)
        *selectedFilter = dialog.selectedNameFilter();
    return dialog.selectedFiles().first();
}

QString QtPasswordPrompt::ask(const QString &title, const QString &text)
{
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(title);
    dialog.setLabelText(text);
    dialog.setTextEchoMode(QLineEdit::Password);
    dialog.setAccessibleName(text);
    if (execUnlessLocked(dialog) != QDialog::Accepted)
        return {};
    return dialog.textValue();
}

QString QtFileDialogs::openFile(const OpenFileRequest &r)
{
    QFileDialog dialog(QApplication::activeWindow(), r.title, r.folder, r.filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (execUnlessLocked(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

QString QtFileDialogs::chooseFolder(const QString &title, const QString &startFolder)
{
    QFileDialog dialog(QApplication::activeWindow(), title, startFolder);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (execUnlessLocked(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

// ---- clipboard

void QtClipboard::setText(const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
}

QString QtClipboard::text() const
{
    return QGuiApplication::clipboard()->text();
}

// ---- idle countdown

QtIdleCountdown::QtIdleCountdown()
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        emit elapsed();
        // Still armed: a further period without input fires again.
        if (m_seconds > 0)
            m_timer.start();
    });
}

void QtIdleCountdown::arm(int seconds)
{
    m_seconds = seconds > 0 ? seconds : 0;
    m_timer.stop();
    if (m_seconds == 0) {
        if (m_filtering)
            qApp->removeEventFilter(this);
        m_filtering = false;
        return;
    }
    if (!m_filtering && qApp) {
        qApp->installEventFilter(this);
        m_filtering = true;
    }
    m_timer.setInterval(std::chrono::milliseconds(qint64(m_seconds) * m_secondMs));
    m_timer.start();
}

bool QtIdleCountdown::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
        if (m_seconds > 0)
            m_timer.start();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

// ---- printers

// The printers and their dialogs come from the module "printing", loaded by the first question; the
// module shows its dialogs the way every seam here does.
Printers *QtPrinters::loaded(QString *reason) const
{
    const QMutexLocker lock(&m_loading);
    if (!m_printers)
        if (auto *module = platform::module<PrintersModule>(QStringLiteral("printing"), reason))
            m_printers = module->printers([](QDialog &dialog) { return execUnlessLocked(dialog); });
    return m_printers.get();
}

QtPrinters::QtPrinters() = default;
QtPrinters::~QtPrinters() = default;

QString QtPrinters::description() const
{
    // Without the module there is no printer to name; the set-up and the choice say why.
    Printers *printers = loaded(nullptr);
    return printers ? printers->description() : QString();
}

bool QtPrinters::setup(QWidget *parent)
{
    QString reason;
    Printers *printers = loaded(&reason);
    if (!printers)
        showModuleFailure(reason);
    return printers && printers->setup(parent);
}

bool QtPrinters::choose(QWidget *parent)
{
    QString reason;
    Printers *printers = loaded(&reason);
    if (!printers)
        showModuleFailure(reason);
    return printers && printers->choose(parent);
}

// ---- restart

bool QtRestarter::restart(const QStringList &arguments)
{
    // The new copy starts where this one was started, from the executable as it lies now.
    if (!QProcess::startDetached(QCoreApplication::applicationFilePath(), arguments, QDir::currentPath()))
        return false;
    // This one ends as when the user closes it: the main window's close does the program's own
    // end (tray icon, what the pages do on exit), and leaving the event loop ends the process.
    QApplication::closeAllWindows();
    QCoreApplication::quit();
    return true;
}

// ---- tray

QtTrayIcon::QtTrayIcon(QObject *parent)
    : TrayIcon(parent)
    , m_icon(new QSystemTrayIcon(this))
{
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            emit leftClicked();
        else if (reason == QSystemTrayIcon::Context)
            emit rightClicked(QCursor::pos());
    });
}

bool QtTrayIcon::add(const QString &iconFile, const QString &tip)
{
    // The picture the tray shows, decoded now, once: the size the tray gives its icons at first (the
    // tray may resize it later, and that size is drawn once then).
    const QIcon icon = pictureIcon(iconFile);
    const bool loaded = !icon.isNull() && !icon.pixmap(kTrayIconSize).isNull();
    m_icon->setIcon(icon);
    m_icon->setToolTip(tip);
    m_icon->show();
    return loaded;
}

void QtTrayIcon::remove()
{
    m_icon->hide();
}

bool QtTrayIcon::isShown() const
{
    return m_icon->isVisible();
}

bool QtTray::available() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

TrayIcon *QtTray::createIcon(QObject *parent)
{
    return new QtTrayIcon(parent);
}

} // namespace platform
