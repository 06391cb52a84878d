// The tools around the text: font size, copy all, the enlarged reader, and the splitting tab that
// cuts a text too long for one note into pieces.

#include "app/textcodec.h"
#include "notebook/notereader.h"
#include "notebookdriver.h"
#include "testmain.h"
#include "widgets/unitgeometry.h"
#include "widgets/units.h"

#include <QAccessible>
#include <QLabel>
#include <QPointer>
#include <QRandomGenerator>
#include <QTextBlock>
#include <QToolButton>

namespace {

const QString kLong = QStringLiteral("第一行很长很长很长很长很长很长很长很长\n第二行");

QString selected(const QPlainTextEdit *field)
{
    const QTextCursor c = field->textCursor();
    return field->toPlainText().mid(c.selectionStart(), c.selectionEnd() - c.selectionStart());
}

// Chinese, ASCII, line breaks, tabs, no-break spaces and characters of four bytes.
QString mixedText(int characters)
{
    const QString pieces[] = {QStringLiteral("汉字"), QStringLiteral("ascii "), QStringLiteral("\n"), QStringLiteral("\t"),
                              QStringLiteral("\u00a0"), QStringLiteral("😀"), QStringLiteral("标点,。!")};
    QRandomGenerator random(20090214);
    QString text;
    while (text.size() < characters)
        text += pieces[random.bounded(int(std::size(pieces)))];
    text.truncate(characters);
    if (text.back().isHighSurrogate())
        text.back() = QLatin1Char('y');
    return text;
}

struct Splitting : NotebookDriver
{
    NoteSplitter *s = splitter();

    void paste(const QString &text)
    {
        fakes.clipboard->content = text;
        page->tabs->setCurrentWidget(s);
        click(s->pasteButton);
    }
    // Locate, cut off, copy: the piece as it reached the clipboard.
    QString nextPiece()
    {
        click(s->markButton);
        click(s->cutButton);
        click(s->copyPieceButton);
        return fakes.clipboard->content;
    }
    qsizetype shownLength() const { return s->lengthLabel->text().toLongLong(); }
};

} // namespace

class tst_notetools : public QObject
{
    Q_OBJECT

private slots:
    void fontSizeAndCopyAll()
    {
        // A no-break space, a tab and a four-byte character survive the copy exactly.
        const QString text = QStringLiteral("甲\u00a0乙\n\tTab 😀 end ");
        NotebookDriver t({{QStringLiteral("1"), QStringLiteral("特殊"), text}});
        t.open(QStringLiteral("1"), QStringLiteral("特殊"));
        for (int i = 0; i < 40; ++i)
            t.click(t.editor()->largerFontButton);
        QCOMPARE(t.editor()->fontSize(), 50);
        for (int i = 0; i < 60; ++i)
            t.click(t.editor()->smallerFontButton);
        QCOMPARE(t.editor()->fontSize(), 1);
        t.click(t.editor()->copyAllButton);
        QCOMPARE(t.fakes.clipboard->content, text);
        QCOMPARE(selected(t.editor()->textEdit).size(), text.size());
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(t.editor()->textEdit));
        // Nothing stored; the placeholder is no text, and copies as nothing.
        QCOMPARE(t.content(t.page->noteId), text);
        t.click(t.page->addButton);
        t.click(t.editor()->copyAllButton);
        QCOMPARE(t.fakes.clipboard->content, QString());
    }

    void theReaderShowsTheTextOverTheMainWindow()
    {
        NotebookDriver t({{QStringLiteral("1"), QStringLiteral("长文"), kLong}, {QStringLiteral("1"), QStringLiteral("空"), QString()}});
        t.open(QStringLiteral("1"), QStringLiteral("空"));
        t.click(t.editor()->readerButton);
        QVERIFY(!t.editor()->reader());

        t.open(QStringLiteral("1"), QStringLiteral("长文"));
        for (QToolButton *b : {t.editor()->largerFontButton, t.editor()->largerFontButton, t.editor()->largerFontButton, t.editor()->smallerFontButton})
            t.click(b);
        // The main window (here the page itself) moved and changed size since it opened.
        t.page->move(37, 52);
        t.page->resize(900, 700);
        QCoreApplication::processEvents();
        t.click(t.editor()->readerButton);
        NoteReader *reader = t.editor()->reader();
        QVERIFY(reader && reader->isVisible());
        QCOMPARE(reader->windowTitle(), QStringLiteral("内容"));
        QCOMPARE(reader->textEdit->toPlainText(), kLong);
        QCOMPARE(reader->textEdit->font().pointSize(), 12);
        QCOMPARE(reader->geometry(), t.page->geometry());
        reader->resize(640, 480);
        QCOMPARE(unitGeometry(reader->textEdit), QRect(18, 16, units::toUnitsX(640) - 36, units::toUnitsY(480) - 32));

        // Typed into, only the reader's copy changes; Escape closes it.
        QTest::keyClicks(reader->textEdit, QStringLiteral("xyz"));
        QCOMPARE(t.text(), kLong);
        QPointer<NoteReader> gone = reader;
        QTest::keyClick(reader->textEdit, Qt::Key_Escape);
        QTRY_VERIFY(!gone);
        QCOMPARE(t.content(t.page->noteId), kLong);
    }

    void aPieceStopsBeforeTheCharacterThatWouldCrossTheLimit_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("pieceBytes");
        QTest::newRow("ascii") << QStringLiteral("0123456789").repeated(4000) << 32767;
        QTest::newRow("chinese on the limit") << QStringLiteral("a") + QStringLiteral("汉").repeated(20000) << 32767;
        QTest::newRow("chinese across") << QStringLiteral("汉").repeated(20000) << 32766;
        QTest::newRow("four bytes across") << QStringLiteral("ab") + QStringLiteral("😀").repeated(9000) << 32766;
        QTest::newRow("short") << QStringLiteral("短文本\n两行") << 11;
    }
    void aPieceStopsBeforeTheCharacterThatWouldCrossTheLimit()
    {
        QFETCH(QString, text);
        QFETCH(int, pieceBytes);
        Splitting t;
        t.paste(text);
        QCOMPARE(t.shownLength(), gbkLength(text));
        const QString piece = t.nextPiece();
        QCOMPARE(gbkLength(piece), pieceBytes);
        QCOMPARE(piece + t.s->workArea->toPlainText(), text);
        QCOMPARE(t.shownLength(), gbkLength(text) - pieceBytes);
        QCOMPARE(QAccessible::queryAccessibleInterface(t.s->lengthLabel)->text(QAccessible::Name),
                 QStringLiteral("字节数: %1").arg(gbkLength(text) - pieceBytes));
        QCOMPARE(t.page->tabs->currentWidget(), static_cast<QWidget *>(t.editor()));
    }

    void markingByClickAndKeyboardAndCuttingNothing()
    {
        Splitting t;
        t.paste(QStringLiteral("第一行\n第二行"));
        QCOMPARE(t.s->lengthLabel->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        // Nothing marked: an empty piece, the work area as it was, an empty clipboard text.
        t.click(t.s->cutButton);
        QCOMPARE(t.s->pieceEdit->toPlainText(), QString());
        QCOMPARE(t.s->workArea->toPlainText(), QStringLiteral("第一行\n第二行"));
        t.click(t.s->copyPieceButton);
        QCOMPARE(t.fakes.clipboard->content, QString());

        // A click marks the text before it.
        t.page->tabs->setCurrentWidget(t.s);
        const QRect second = t.s->workArea->cursorRect(QTextCursor(t.s->workArea->document()->findBlockByNumber(1)));
        QTest::mouseClick(t.s->workArea->viewport(), Qt::LeftButton, {}, second.center() + QPoint(1, 0));
        QCoreApplication::processEvents();
        QCOMPARE(selected(t.s->workArea), QStringLiteral("第一行\n"));
        // Reached with the keyboard, the caret where it was marks the same way.
        QTextCursor c = t.s->workArea->textCursor();
        c.setPosition(2);
        t.s->workArea->setTextCursor(c);
        t.s->pasteButton->setFocus();
        QTest::keyClick(t.s->pasteButton, Qt::Key_Backtab);
        QCOMPARE(selected(t.s->workArea), QStringLiteral("第一"));

        // What is typed (here over the marked "第一") is counted when the field is left.
        drive::typeText(t.s->workArea, QStringLiteral("ab"));
        QCOMPARE(t.shownLength(), 13);
        t.s->markButton->setFocus();
        QCOMPARE(t.shownLength(), 11);
    }

    void aHundredThousandCharactersRejoinExactly()
    {
        Splitting t;
        const QString text = mixedText(100000);
        t.paste(text);
        QStringList pieces;
        while (!t.s->workArea->toPlainText().isEmpty() && pieces.size() < 20) {
            pieces << t.nextPiece();
            QVERIFY(gbkLength(pieces.last()) <= 32767);
            t.page->tabs->setCurrentWidget(t.s);
        }
        QVERIFY(pieces.size() >= 5);
        QCOMPARE(pieces.join(QString()), text);

        // A piece goes into a new note as it is.
        t.select(t.group(QStringLiteral("1")));
        t.click(t.page->addButton);
        t.typeTitle(QStringLiteral("第一段"));
        t.pasteText(pieces.first());
        t.click(t.page->saveButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("N07"), QStringLiteral("保存成功!"));
        QCOMPARE(t.content(t.idOf(QStringLiteral("1"), QStringLiteral("第一段"))), pieces.first());
    }
};

MIVO_TEST_MAIN(tst_notetools)
#include "tst_notetools.moc"
