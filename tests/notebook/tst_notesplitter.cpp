// Cutting a text too long for one note into pieces on the edit tab: the byte count, marking the
// piece that fits, cutting it off, copying it, and pieces that rejoin to exactly the text pasted.

#include "app/textcodec.h"
#include "notepage.h"
#include "testmain.h"

#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextCursor>

namespace {

QString selected(const QPlainTextEdit *field)
{
    const QTextCursor c = field->textCursor();
    return textOf(field).mid(c.selectionStart(), c.selectionEnd() - c.selectionStart());
}

// A long text of Chinese, ASCII, line breaks, tabs, no-break spaces and characters of four bytes.
QString mixedText(int characters)
{
    const QString pieces[] = {QStringLiteral("汉字"), QStringLiteral("ascii "), QStringLiteral("\n"),
                              QStringLiteral("\t"), QStringLiteral("\u00a0"), QStringLiteral("😀"),
                              QStringLiteral("标点,。!"), QStringLiteral("x")};
    QRandomGenerator random(20090214);
    QString text;
    while (text.size() < characters)
        text += pieces[random.bounded(int(std::size(pieces)))];
    // Never a half of a pair at the end.
    text.truncate(characters);
    if (text.back().isHighSurrogate())
        text.back() = QLatin1Char('y');
    return text;
}

struct Splitting : NotePage
{
    NoteSplitter *s = splitter();

    void paste(const QString &text)
    {
        fakes.clipboard->content = text;
        page->tab_1->setCurrentWidget(s);
        click(s->cb_11);
    }
    qsizetype shownLength() const { return s->st_01->text().toLongLong(); }
};

} // namespace

class tst_notesplitter : public QObject
{
    Q_OBJECT

private slots:
    void aLongTextIsCutAtTheLimit()
    {
        Splitting t;
        const QString text = QStringLiteral("一二三四五").repeated(4000);   // 40,000 bytes
        t.paste(text);
        QCOMPARE(t.shownLength(), 40000);
        QCOMPARE(t.s->st_01->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        t.click(t.s->cb_6);
        // 32767 bytes would end in half a character: the piece stops before it.
        QCOMPARE(gbkLength(selected(t.s->mle_2)), 32766);
        t.click(t.s->cb_10);
        QCOMPARE(textOf(t.s->mle_01), text.left(16383));
        QCOMPARE(textOf(t.s->mle_2), text.mid(16383));
        QCOMPARE(t.shownLength(), 40000 - 32766);

        // ASCII reaches the limit exactly.
        const QString ascii = QStringLiteral("0123456789").repeated(4000);
        t.paste(ascii);
        t.click(t.s->cb_6);
        t.click(t.s->cb_10);
        QCOMPARE(textOf(t.s->mle_01), ascii.left(32767));
        QCOMPARE(t.shownLength(), 40000 - 32767);
    }

    void aPieceNeverEndsInHalfACharacter_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("pieceBytes");
        QTest::newRow("chinese on the limit") << QStringLiteral("a") + QStringLiteral("汉").repeated(20000) << 32767;
        QTest::newRow("chinese across") << QStringLiteral("汉").repeated(20000) << 32766;
        QTest::newRow("four bytes across") << QStringLiteral("ab") + QStringLiteral("😀").repeated(9000) << 32766;
        QTest::newRow("four bytes on the limit") << QStringLiteral("abc") + QStringLiteral("😀").repeated(9000) << 32767;
    }
    void aPieceNeverEndsInHalfACharacter()
    {
        QFETCH(QString, text);
        QFETCH(int, pieceBytes);
        Splitting t;
        t.paste(text);
        t.click(t.s->cb_6);
        t.click(t.s->cb_10);
        const QString piece = textOf(t.s->mle_01);
        QCOMPARE(gbkLength(piece), pieceBytes);
        QVERIFY(!piece.back().isHighSurrogate());
        QCOMPARE(piece + textOf(t.s->mle_2), text);
    }

    void aShortTextMovesWhole()
    {
        Splitting t;
        t.paste(QStringLiteral("短文本\n两行"));
        QCOMPARE(t.shownLength(), 11);
        t.click(t.s->cb_6);
        t.click(t.s->cb_10);
        QCOMPARE(textOf(t.s->mle_01), QStringLiteral("短文本\n两行"));
        QCOMPARE(textOf(t.s->mle_2), QString());
        QCOMPARE(t.s->st_01->text(), QStringLiteral("0"));
    }

    void nothingMarkedCutsNothing()
    {
        Splitting t;
        t.paste(QStringLiteral("保持不变"));
        t.click(t.s->cb_10);
        QCOMPARE(textOf(t.s->mle_01), QString());
        QCOMPARE(textOf(t.s->mle_2), QStringLiteral("保持不变"));
        QCOMPARE(t.shownLength(), 8);

        // An empty piece empties the clipboard's text and still turns to the editor.
        t.fakes.clipboard->content = QStringLiteral("旧内容");
        t.click(t.s->cb_9);
        QCOMPARE(t.fakes.clipboard->content, QString());
        QCOMPARE(t.page->tab_1->currentWidget(), static_cast<QWidget *>(t.editor()));
    }

    void aClickMarksTheTextBeforeIt()
    {
        Splitting t;
        t.paste(QStringLiteral("第一行\n第二行"));
        t.s->cb_6->setFocus();
        // A click on the second line, after its first character or so.
        const QTextBlock second = t.s->mle_2->document()->findBlockByNumber(1);
        QRect at = t.s->mle_2->cursorRect(QTextCursor(second));
        QTest::mouseClick(t.s->mle_2->viewport(), Qt::LeftButton, {}, at.center() + QPoint(1, 0));
        QCoreApplication::processEvents();
        QCOMPARE(selected(t.s->mle_2), QStringLiteral("第一行\n"));

        // Reached with the keyboard, the caret where it was marks the same way.
        QTextCursor c = t.s->mle_2->textCursor();
        c.setPosition(2);
        t.s->mle_2->setTextCursor(c);
        t.s->cb_11->setFocus();
        QTest::keyClick(t.s->cb_11, Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(t.s->mle_2));
        QCOMPARE(selected(t.s->mle_2), QStringLiteral("第一"));
    }

    void typedTextIsCountedWhenTheFieldIsLeft()
    {
        Splitting t;
        QTest::mouseClick(t.s->mle_2->viewport(), Qt::LeftButton);
        drive::typeText(t.s->mle_2, QStringLiteral("ab汉字"));
        QCOMPARE(t.s->st_01->text(), QStringLiteral("0"));
        t.click(t.s->cb_6);
        QCOMPARE(t.shownLength(), 6);
    }

    void aHundredThousandCharactersRejoinExactly()
    {
        Splitting t;
        const QString text = mixedText(100000);
        t.paste(text);
        QCOMPARE(t.shownLength(), gbkLength(text));
        QStringList pieces;
        while (!textOf(t.s->mle_2).isEmpty()) {
            t.click(t.s->cb_6);
            t.click(t.s->cb_10);
            t.click(t.s->cb_9);
            QCOMPARE(t.fakes.clipboard->content, textOf(t.s->mle_01));
            QVERIFY(gbkLength(t.fakes.clipboard->content) <= 32767);
            pieces << t.fakes.clipboard->content;
            t.page->tab_1->setCurrentWidget(t.s);
            QVERIFY(pieces.size() < 20);
        }
        QVERIFY(pieces.size() >= 5);
        QCOMPARE(pieces.join(QString()), text);

        // A piece goes into a new note as it is.
        t.select(t.group(QStringLiteral("1")));
        t.click(t.page->cb_1);
        t.typeTitle(QStringLiteral("第一段"));
        t.pasteText(pieces.first());
        t.click(t.page->cb_3);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("N07"), QStringLiteral("保存成功!"));
        QCOMPARE(t.stored(t.idOf(QStringLiteral("1"), QStringLiteral("第一段")), QStringLiteral("content")).toString(),
                 pieces.first());
    }
};

MIVO_TEST_MAIN(tst_notesplitter)
#include "tst_notesplitter.moc"
