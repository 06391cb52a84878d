#include "settings/synctab.h"

#include "app/settingkeys.h"
#include "app/settingsfile.h"
#include "pagekit/helpers.h"
#include "settings/tabshape.h"
#include "sync/syncservice.h"
#include "widgets/unitgeometry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace settings {

namespace {

constexpr int DefaultMinutes = 30;

QCheckBox *checkBox(const QString &caption, const QString &name, const QString &key, QWidget *parent)
{
    auto *box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    box->setAccessibleName(caption);
    box->setChecked(readSetting(key) == QLatin1String("1"));
    QObject::connect(box, &QCheckBox::toggled, box, [key](bool on) { writeSetting(key, on ? QStringLiteral("1") : QStringLiteral("0")); });
    return box;
}

QLineEdit *lineEdit(const QString &name, const QString &text, QWidget *parent)
{
    auto *edit = new QLineEdit(text, parent);
    edit->setObjectName(name);
    return edit;
}

} // namespace

SyncTab::SyncTab(contactsync::SyncService &sync, QWidget *parent)
    : QWidget(parent)
    , m_sync(sync)
{
    frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("gb_e"));
    frame->setAccessibleName(QStringLiteral("同步"));
    serverEdit = lineEdit(QStringLiteral("sle_e1"), readSetting(settingkeys::syncServer), this);
    serverEdit->setPlaceholderText(QStringLiteral("https://"));
    m_serverCaption = pagekit::makeLabel(QStringLiteral("服务器地址"), QStringLiteral("st_e1"), serverEdit, this);
    userEdit = lineEdit(QStringLiteral("sle_e2"), readSetting(settingkeys::syncUser), this);
    m_userCaption = pagekit::makeLabel(QStringLiteral("用户名"), QStringLiteral("st_e2"), userEdit, this);
    passwordEdit = lineEdit(QStringLiteral("sle_e3"), QString(), this);
    passwordEdit->setEchoMode(QLineEdit::Password);
    m_passwordCaption = pagekit::makeLabel(QStringLiteral("密码"), QStringLiteral("st_e3"), passwordEdit, this);
    bookList = new QComboBox(this);
    bookList->setObjectName(QStringLiteral("ddlb_e1"));
    m_bookCaption = pagekit::makeLabel(QStringLiteral("通讯簿"), QStringLiteral("st_e4"), bookList, this);
    // Until "连接" finds the server's books, the one chosen earlier stands for itself.
    const QString book = readSetting(settingkeys::syncBook);
    if (!book.isEmpty())
        bookList->addItem(book, book);

    connectButton = pagekit::makeButton(QStringLiteral("连接"), QStringLiteral("cb_e1"), this);
    syncButton = pagekit::makeButton(QStringLiteral("立即同步(&Y)"), QStringLiteral("cb_e2"), this);

    autoBox = checkBox(QStringLiteral("自动同步"), QStringLiteral("cbx_e1"), settingkeys::syncAuto, this);
    minutesBox = new QSpinBox(this);
    minutesBox->setObjectName(QStringLiteral("em_e1"));
    minutesBox->setRange(1, 1440);
    bool ok = false;
    const int minutes = readSetting(settingkeys::syncMinutes).toInt(&ok);
    minutesBox->setValue(ok && minutes >= 1 ? minutes : DefaultMinutes);
    minutesBox->setEnabled(autoBox->isChecked());
    m_everyCaption = pagekit::makeLabel(QStringLiteral("每"), QStringLiteral("st_e5"), minutesBox, this);
    minutesBox->setAccessibleName(QStringLiteral("自动同步间隔(分钟)"));
    m_minutesCaption = new QLabel(QStringLiteral("分钟"), this);
    m_minutesCaption->setObjectName(QStringLiteral("st_e6"));
    m_minutesCaption->setAccessibleName(m_minutesCaption->text());
    atStartBox = checkBox(QStringLiteral("启动时同步"), QStringLiteral("cbx_e2"), settingkeys::syncAtStart, this);
    atExitBox = checkBox(QStringLiteral("退出时同步"), QStringLiteral("cbx_e3"), settingkeys::syncAtExit, this);

    statusLabel = new QLabel(contactsync::SyncService::lastSyncText(), this);
    statusLabel->setObjectName(QStringLiteral("st_e7"));
    statusLabel->setWordWrap(true);
    statusLabel->setAccessibleName(QStringLiteral("同步状态"));

    connect(connectButton, &QPushButton::clicked, this, &SyncTab::connectServer);
    connect(syncButton, &QPushButton::clicked, this, &SyncTab::syncNow);
    connect(bookList, &QComboBox::activated, this, [this](int index) {
        writeSetting(settingkeys::syncBook, bookList->itemData(index).toString());
    });
    // The timer follows the boxes at once, as the backup's automatic copies do.
    connect(autoBox, &QCheckBox::toggled, this, [this](bool on) {
        minutesBox->setEnabled(on);
        m_sync.applySchedule();
    });
    connect(minutesBox, &QSpinBox::valueChanged, this, [this](int n) {
        writeSetting(settingkeys::syncMinutes, QString::number(n));
        m_sync.applySchedule();
    });

    connect(&m_sync, &contactsync::SyncService::started, this, [this] {
        setRunning(true);
        statusLabel->setText(QStringLiteral("正在同步……"));
    });
    connect(&m_sync, &contactsync::SyncService::progress, this, [this](const QString &words) {
        statusLabel->setText(QStringLiteral("正在同步:") + words);
    });
    connect(&m_sync, &contactsync::SyncService::finished, this, [this] {
        setRunning(false);
        statusLabel->setText(contactsync::SyncService::lastSyncText());
    });
    connect(&m_sync, &contactsync::SyncService::addressBooksFound, this, &SyncTab::booksFound);
    setRunning(m_sync.controller().isRunning());
}

void SyncTab::setRunning(bool running)
{
    connectButton->setEnabled(!running);
    syncButton->setEnabled(!running);
}

void SyncTab::connectServer()
{
    const QString server = serverEdit->text().trimmed();
    const QString user = userEdit->text().trimmed();
    if (server.isEmpty() || user.isEmpty()) {
        contactsync::SyncService::sayNotSetUp();
        return;
    }
    contactsync::Account account;
    account.server = QUrl::fromUserInput(server);
    account.user = user;
    account.password = passwordEdit->text();
    if (m_sync.findAddressBooks(account)) {
        setRunning(true);
        statusLabel->setText(QStringLiteral("正在连接服务器……"));
    }
}

void SyncTab::booksFound(const QList<contactsync::AddressBook> &books, const contactsync::Outcome &outcome)
{
    setRunning(false);
    if (!outcome.ok()) {
        statusLabel->setText(contactsync::SyncService::summary(outcome));
        return;
    }
    // Server, user and address book are remembered together, so that they always belong together.
    const QString chosen = readSetting(settingkeys::syncBook);
    bookList->clear();
    int index = 0;
    for (const contactsync::AddressBook &b : books) {
        const QString url = b.url.toString();
        if (url == chosen)
            index = bookList->count();
        bookList->addItem(b.name, url);
        bookList->setItemData(bookList->count() - 1, url, Qt::ToolTipRole);
    }
    bookList->setCurrentIndex(index);
    writeSetting(settingkeys::syncServer, serverEdit->text().trimmed());
    writeSetting(settingkeys::syncUser, userEdit->text().trimmed());
    writeSetting(settingkeys::syncBook, bookList->currentData().toString());
    statusLabel->setText(QStringLiteral("找到 %1 个通讯簿,请选择要同步的一个。").arg(books.size()));
}

void SyncTab::syncNow()
{
    m_sync.syncNow(contactsync::SyncService::Trigger::User, passwordEdit->text());
}

void SyncTab::placeControls(int w, int h)
{
    const QRect box = tabshape::frame(w, h);
    setUnitGeometry(frame, box);
    setUnitGeometry(connectButton, tabshape::button(w));
    setUnitGeometry(syncButton, tabshape::button(w, tabshape::SecondButtonY));
    const int left = box.x() + 60, top = box.y() + 50, row = 110, field = 88, caption = 300;
    const int right = box.x() + box.width() - 60;
    const int x = left + caption;
    const int half = std::max(400, (right - x - caption) / 2);
    setUnitGeometry(m_serverCaption, QRect(left, top + 4, caption - 10, 80));
    setUnitGeometry(serverEdit, QRect(x, top, std::max(400, right - x), field));
    setUnitGeometry(m_userCaption, QRect(left, top + row + 4, caption - 10, 80));
    setUnitGeometry(userEdit, QRect(x, top + row, half - 40, field));
    setUnitGeometry(m_passwordCaption, QRect(x + half, top + row + 4, caption - 10, 80));
    setUnitGeometry(passwordEdit, QRect(x + half + caption, top + row, std::max(300, right - x - half - caption), field));
    setUnitGeometry(m_bookCaption, QRect(left, top + 2 * row + 4, caption - 10, 80));
    setUnitGeometry(bookList, QRect(x, top + 2 * row, std::max(400, right - x), field));
    const int y = top + 3 * row;
    setUnitGeometry(autoBox, QRect(left, y + 4, 420, 80));
    setUnitGeometry(m_everyCaption, QRect(left + 430, y + 4, 90, 80));
    setUnitGeometry(minutesBox, QRect(left + 520, y, 260, field));
    setUnitGeometry(m_minutesCaption, QRect(left + 800, y + 4, 160, 80));
    setUnitGeometry(atStartBox, QRect(left + 1000, y + 4, 480, 80));
    setUnitGeometry(atExitBox, QRect(left + 1500, y + 4, 480, 80));
    setUnitGeometry(statusLabel, QRect(left, top + 4 * row, std::max(400, right - left), std::max(80, box.height() - 4 * row - 70)));
}

} // namespace settings
