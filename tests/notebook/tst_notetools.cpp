// The editor's text tools and the enlarged reader: font size, word wrap, copy all, and the reader's
// text, font, place, margins, Escape and the lock.

#include "notebook/w_pt_readmax.h"
#include "notepage.h"
#include "testmain.h"
#include "widgets/unitgeometry.h"
#include "widgets/units.h"

#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>

namespace {

const QList<Note> kNotes = {
    {QStringLiteral("1"), QStringLiteral("长文"), QStringLiteral("第一行很长很长很长很长很长很长很长很长很长很长很长很长很长很长\n第二行")},
    {QStringLiteral("1"), QStringLiteral("空"), QString()},
};

} // namespace

class tst_notetools : public QObject
{
    Q_OBJECT

private slots:
    void fontButtonsChangeOnlyTheDisplay()
    {
        NotePage t(kNotes);
        t.open(QStringLiteral("1"), QStringLiteral("长文"));
        QCOMPARE(t.editor()->fontSize(), 10);
        for (int i = 0; i < 40; ++i)
            t.click(t.editor()->cb_7);
        QCOMPARE(t.editor()->fontSize(), 50);
        QCOMPARE(t.editor()->mle_1->font().pointSize(), 50);
        for (int i = 0; i < 60; ++i)
            t.click(t.editor()->cb_8);
        // The smallest size a font is drawn at.
        QCOMPARE(t.editor()->fontSize(), 1);
        t.click(t.editor()->cb_7);
        QCOMPARE(t.editor()->fontSize(), 2);
        // Nothing stored, nothing asked; a note opened later keeps the size.
        QVERIFY(t.fakes.boxes->shown.isEmpty());
        QCOMPARE(t.stored(t.page->il_id, QStringLiteral("content")).toString(), kNotes.first().content);
        t.open(QStringLiteral("1"), QStringLiteral("空"));
        QCOMPARE(t.editor()->fontSize(), 2);
    }

    void wordWrapToggles()
    {
        NotePage t(kNotes);
        t.open(QStringLiteral("1"), QStringLiteral("长文"));
        QPlainTextEdit *mle = t.editor()->mle_1;
        QCOMPARE(mle->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QCOMPARE(mle->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        t.click(t.editor()->pb_2);
        QCOMPARE(mle->lineWrapMode(), QPlainTextEdit::NoWrap);
        QVERIFY(mle->horizontalScrollBarPolicy() != Qt::ScrollBarAlwaysOff);
        t.click(t.editor()->pb_2);
        QCOMPARE(mle->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QCOMPARE(mle->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    }

    void copyAllPutsTheWholeTextOnTheClipboard()
    {
        // A no-break space and a line break survive the trip exactly.
        const QString text = QStringLiteral("甲\u00a0乙\n\tTab 😀 end ");
        NotePage t({{QStringLiteral("1"), QStringLiteral("特殊"), text}});
        t.open(QStringLiteral("1"), QStringLiteral("特殊"));
        t.click(t.editor()->pb_3);
        QCOMPARE(t.fakes.clipboard->content, text);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(t.editor()->mle_1));
        QCOMPARE(t.editor()->mle_1->textCursor().selectionStart(), 0);
        QCOMPARE(t.editor()->mle_1->textCursor().selectionEnd(), int(text.size()));

        // The placeholder is no text: it goes with the focus, and nothing is copied.
        t.click(t.page->cb_1);
        t.click(t.editor()->pb_3);
        QCOMPARE(t.fakes.clipboard->content, QString());
    }

    void theReaderShowsTheTextLargeOverTheMainWindow()
    {
        NotePage t(kNotes);
        t.open(QStringLiteral("1"), QStringLiteral("长文"));
        t.click(t.editor()->cb_7);
        t.click(t.editor()->cb_7);
        t.click(t.editor()->cb_7);
        t.click(t.editor()->cb_8);
        // The main window (here the page itself) moved and resized since it opened.
        t.page->move(37, 52);
        t.page->resize(900, 700);
        QCoreApplication::processEvents();
        t.click(t.editor()->pb_1);
        w_pt_readmax *reader = t.editor()->reader();
        QVERIFY(reader);
        QVERIFY(reader->isVisible());
        QCOMPARE(reader->windowTitle(), QStringLiteral("内容"));
        QCOMPARE(reader->mle_1->toPlainText(), kNotes.first().content);
        QCOMPARE(reader->mle_1->font().pointSize(), 12);
        QCOMPARE(reader->pos(), t.page->pos());
        QCOMPARE(reader->size(), t.page->size());
        // Margins of 18 and 16 units around the text.
        const int w = units::toUnitsX(reader->width()), h = units::toUnitsY(reader->height());
        QCOMPARE(unitGeometry(reader->mle_1), QRect(18, 16, w - 36, h - 32));
        reader->resize(640, 480);
        QCoreApplication::processEvents();
        QCOMPARE(unitGeometry(reader->mle_1), QRect(18, 16, units::toUnitsX(640) - 36, units::toUnitsY(480) - 32));

        // Typed into, the reader changes only its copy; Escape closes it.
        QTest::keyClicks(reader->mle_1, QStringLiteral("xyz"));
        QVERIFY(reader->mle_1->toPlainText().contains(QStringLiteral("xyz")));
        QCOMPARE(textOf(t.editor()->mle_1), kNotes.first().content);
        QPointer<w_pt_readmax> gone = reader;
        QTest::keyClick(reader->mle_1, Qt::Key_Escape);
        QTRY_VERIFY(!gone);
        QCOMPARE(t.stored(t.page->il_id, QStringLiteral("content")).toString(), kNotes.first().content);
    }

    void anEmptyEditorOpensNoReader()
    {
        NotePage t(kNotes);
        t.open(QStringLiteral("1"), QStringLiteral("空"));
        t.click(t.editor()->pb_1);
        QVERIFY(!t.editor()->reader());
        // The placeholder is text as far as the reader is concerned.
        t.click(t.page->cb_1);
        t.click(t.editor()->pb_1);
        QVERIFY(t.editor()->reader());
        QCOMPARE(t.editor()->reader()->mle_1->toPlainText(), NoteEditor::is_max);
    }

    void theLockHidesTheReaderUntilUnlocked()
    {
        NotePage t(kNotes);
        t.open(QStringLiteral("1"), QStringLiteral("长文"));
        t.click(t.editor()->pb_1);
        w_pt_readmax *reader = t.editor()->reader();
        t.page->of_lock(true);
        QVERIFY(!reader->isVisible());
        t.page->of_lock(true);
        t.page->of_lock(false);
        QVERIFY(reader->isVisible());
        // A reader closed before the lock stays closed.
        QPointer<w_pt_readmax> gone = reader;
        reader->close();
        QTRY_VERIFY(!gone);
        t.page->of_lock(true);
        t.page->of_lock(false);
        QVERIFY(!t.editor()->reader());
    }
};

MIVO_TEST_MAIN(tst_notetools)
#include "tst_notetools.moc"
