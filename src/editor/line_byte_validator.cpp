#include "editor/line_byte_validator.h"

#include <QLineEdit>

#include "settings/cp932.h"

namespace kvt {

namespace {

// The code-page-932 length of one character (a surrogate pair is one), or
// 0 when it has none.
int CharBytes(const QString& character) {
    std::string bytes;
    if (!Utf8ToCp932(character.toStdString(), &bytes)) return 0;
    return static_cast<int>(bytes.size());
}

template <typename Visit>
void ForEachCharacter(const QString& text, Visit visit) {
    for (int i = 0; i < text.size(); ++i) {
        int width = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        visit(text.mid(i, width));
        i += width - 1;
    }
}

}  // namespace

int Cp932Length(const QString& text) {
    int total = 0;
    ForEachCharacter(text, [&](const QString& c) {
        int bytes = CharBytes(c);
        total += bytes > 0 ? bytes : 1;
    });
    return total;
}

int UnconvertibleCount(const QString& text) {
    int count = 0;
    ForEachCharacter(text, [&](const QString& c) {
        if (CharBytes(c) == 0) ++count;
    });
    return count;
}

LineByteValidator::LineByteValidator(QLineEdit* edit)
    : QValidator(edit), edit_(edit), last_(edit->text()) {
    connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) { last_ = text; });
    edit->setValidator(this);
}

// The edit validates setText too, against the text before it; without the
// validator the loaded text counts as valid input for the next edit.
void LineByteValidator::LoadText(const QString& text) {
    edit_->setValidator(nullptr);
    edit_->setText(text);
    edit_->setValidator(this);
}

QValidator::State LineByteValidator::validate(QString& input, int&) const {
    if (UnconvertibleCount(input) > UnconvertibleCount(last_)) return Invalid;
    const int bytes = Cp932Length(input);
    if (bytes <= kMaxLineBytes || bytes < Cp932Length(last_)) return Acceptable;
    return Invalid;
}

}  // namespace kvt
