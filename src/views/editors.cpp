#include "views/editors.h"

#include "views/format.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>

namespace views::detail {

LimitedTextEdit::LimitedTextEdit(int limit, QWidget *parent)
    : QPlainTextEdit(parent)
    , m_limit(limit)
{
    setTabChangesFocus(true);
    connect(this, &QPlainTextEdit::textChanged, this, &LimitedTextEdit::enforceLimit);
}

void LimitedTextEdit::enforceLimit()
{
    const QString now = toPlainText();
    // Text set from a row may be longer than the limit; only growth beyond it is refused.
    if (m_limit > 0 && now.size() > m_limit && now.size() > m_lastGood.size()) {
        const QSignalBlocker block(this);
        const int cursor = textCursor().position();
        setPlainText(m_lastGood);
        QTextCursor c = textCursor();
        c.setPosition(qMin(cursor, int(m_lastGood.size())));
        setTextCursor(c);
        return;
    }
    m_lastGood = now;
}

void LimitedTextEdit::insertFromMimeData(const QMimeData *source)
{
    if (!source->hasText() || m_limit <= 0) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    // A paste takes what fits, as a line edit's does.
    const qsizetype room = m_limit - (toPlainText().size() - textCursor().selectedText().size());
    if (room <= 0)
        return;
    textCursor().insertText(source->text().left(room));
}

void LimitedTextEdit::setText(const QString &text)
{
    const QSignalBlocker block(this);
    setPlainText(text);
    m_lastGood = text;
}

void LimitedTextEdit::focusOutEvent(QFocusEvent *e)
{
    QPlainTextEdit::focusOutEvent(e);
    emit editingFinished();
}

ChoiceEditor::ChoiceEditor(const QList<CodeEntry> &codes, QWidget *parent)
    : QWidget(parent)
    , m_codes(codes)
    , m_group(new QButtonGroup(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < codes.size(); ++i) {
        auto *b = new QRadioButton(codes.at(i).display, this);
        b->setAccessibleName(codes.at(i).display);
        m_group->addButton(b, i);
        layout->addWidget(b);
    }
    layout->addStretch(1);
    m_group->setExclusive(true);
    connect(m_group, &QButtonGroup::idClicked, this, [this](int) { emit changed(); });
    setFocusPolicy(Qt::StrongFocus);
    if (!m_group->buttons().isEmpty())
        setFocusProxy(m_group->buttons().first());
}

QString ChoiceEditor::value() const
{
    const int id = m_group->checkedId();
    return id < 0 ? QString() : m_codes.at(id).data;
}

void ChoiceEditor::setValue(const QString &data)
{
    for (int i = 0; i < m_codes.size(); ++i) {
        if (m_codes.at(i).data == data) {
            m_group->button(i)->setChecked(true);
            return;
        }
    }
    // Nothing checked: an exclusive group must be relaxed to clear.
    m_group->setExclusive(false);
    for (QAbstractButton *b : m_group->buttons())
        b->setChecked(false);
    m_group->setExclusive(true);
}

QList<QWidget *> ChoiceEditor::buttons() const
{
    QList<QWidget *> out;
    for (QAbstractButton *b : m_group->buttons())
        out << b;
    return out;
}

namespace {

QValidator *validatorFor(const Column &column, QObject *parent)
{
    QString pattern;
    switch (maskKind(column.editMask)) {
    case MaskKind::Digits:
        pattern = QStringLiteral("\\d{0,%1}").arg(maskDigits(column.editMask));
        break;
    case MaskKind::Decimal:
        pattern = QStringLiteral("-?\\d{0,%1}(\\.\\d{0,%2})?").arg(maskDigits(column.editMask)).arg(maskDecimals(column.editMask));
        break;
    case MaskKind::Date:
    case MaskKind::None:
        if (column.type == ColumnType::Integer)
            pattern = QStringLiteral("-?\\d{0,18}");
        else if (column.type == ColumnType::Number)
            pattern = QStringLiteral("-?\\d*(\\.\\d*)?");
        break;
    }
    if (pattern.isEmpty())
        return nullptr;
    // ASCII digits only: \d would also let full-width digits in.
    pattern.replace(QStringLiteral("\\d"), QStringLiteral("[0-9]"));
    return new QRegularExpressionValidator(QRegularExpression(pattern), parent);
}

} // namespace

QWidget *createEditor(const Column &column, const QList<CodeEntry> &choices, bool inGrid, QWidget *parent)
{
    QWidget *editor = nullptr;
    if (column.dropDown.isSet() || (!column.codeTable.isEmpty() && inGrid)) {
        auto *combo = new QComboBox(parent);
        combo->setEditable(false);
        for (const CodeEntry &e : choices)
            combo->addItem(e.display, e.data);
        combo->setCurrentIndex(-1);
        editor = combo;
    } else if (!column.codeTable.isEmpty()) {
        editor = new ChoiceEditor(column.codeTable, parent);
    } else if (column.spinMax > column.spinMin) {
        auto *spin = new QSpinBox(parent);
        // One below the range stands for "no value" and shows empty.
        spin->setRange(column.spinMin - 1, column.spinMax);
        spin->setSpecialValueText(QStringLiteral(" "));
        editor = spin;
    } else if (column.multiLine && !inGrid) {
        editor = new LimitedTextEdit(column.width, parent);
    } else {
        auto *line = new QLineEdit(parent);
        if (column.width > 0)
            line->setMaxLength(column.width);
        if (maskKind(column.editMask) == MaskKind::Date)
            line->setInputMask(QStringLiteral("0000-00-00;_"));
        else if (QValidator *v = validatorFor(column, line))
            line->setValidator(v);
        if (column.readOnly)
            line->setReadOnly(true);
        if (column.isNumeric())
            line->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        editor = line;
    }
    editor->setAccessibleName(column.label.isEmpty() ? column.name : column.label);
    editor->setObjectName(column.name);
    if (column.textColor.isValid()) {
        QPalette p = editor->palette();
        p.setColor(QPalette::Text, column.textColor);
        editor->setPalette(p);
    }
    return editor;
}

void setEditorValue(QWidget *editor, const Column &column, const QVariant &value)
{
    const QSignalBlocker block(editor);
    if (auto *combo = qobject_cast<QComboBox *>(editor)) {
        const QString data = value.isNull() ? QString() : value.toString();
        int index = data.isEmpty() ? -1 : combo->findData(data);
        if (index < 0 && !data.isEmpty()) {
            // A code no group has any more still shows, as itself.
            combo->addItem(data, data);
            index = combo->count() - 1;
        }
        combo->setCurrentIndex(index);
    } else if (auto *choice = qobject_cast<ChoiceEditor *>(editor)) {
        choice->setValue(value.isNull() ? QString() : value.toString());
    } else if (auto *spin = qobject_cast<QSpinBox *>(editor)) {
        spin->setValue(value.isNull() ? spin->minimum() : int(value.toLongLong()));
    } else if (auto *text = qobject_cast<LimitedTextEdit *>(editor)) {
        text->setText(value.isNull() ? QString() : value.toString());
    } else if (auto *line = qobject_cast<QLineEdit *>(editor)) {
        line->setText(editText(column, value));
        line->setModified(false);
        line->setCursorPosition(0);
    }
}

QString editorText(QWidget *editor)
{
    if (auto *combo = qobject_cast<QComboBox *>(editor))
        return combo->currentIndex() < 0 ? QString() : combo->currentData().toString();
    if (auto *choice = qobject_cast<ChoiceEditor *>(editor))
        return choice->value();
    if (auto *spin = qobject_cast<QSpinBox *>(editor))
        return spin->value() == spin->minimum() ? QString() : QString::number(spin->value());
    if (auto *text = qobject_cast<QPlainTextEdit *>(editor))
        return text->toPlainText();
    if (auto *line = qobject_cast<QLineEdit *>(editor)) {
        // A masked date shows its blanks as "_"; only the digits typed count.
        if (!line->inputMask().isEmpty())
            return line->text().remove(QLatin1Char('_')).remove(QLatin1Char(' '));
        return line->text();
    }
    return QString();
}

void connectEdits(QWidget *editor, QObject *receiver, std::function<void(const QString &)> onEdit,
                  std::function<void()> onFinished, std::function<void()> onPicked)
{
    if (auto *combo = qobject_cast<QComboBox *>(editor)) {
        QObject::connect(combo, &QComboBox::activated, receiver, [onPicked](int) { onPicked(); });
    } else if (auto *choice = qobject_cast<ChoiceEditor *>(editor)) {
        QObject::connect(choice, &ChoiceEditor::changed, receiver, [onPicked] { onPicked(); });
    } else if (auto *spin = qobject_cast<QSpinBox *>(editor)) {
        QObject::connect(spin, &QSpinBox::valueChanged, receiver, [spin, onEdit, onPicked](int v) {
            onEdit(v == spin->minimum() ? QString() : QString::number(v));
            onPicked();
        });
    } else if (auto *text = qobject_cast<LimitedTextEdit *>(editor)) {
        QObject::connect(text, &QPlainTextEdit::textChanged, receiver, [text, onEdit] { onEdit(text->toPlainText()); });
        QObject::connect(text, &LimitedTextEdit::editingFinished, receiver, [onFinished] { onFinished(); });
    } else if (auto *line = qobject_cast<QLineEdit *>(editor)) {
        QObject::connect(line, &QLineEdit::textEdited, receiver, [onEdit](const QString &t) { onEdit(t); });
        QObject::connect(line, &QLineEdit::editingFinished, receiver, [onFinished] { onFinished(); });
    }
}

} // namespace views::detail
