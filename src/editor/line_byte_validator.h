// Keeps a line edit's text within the sign's line length, counted in
// code-page-932 bytes (a full-width character counts two).
#pragma once

#include <QValidator>

class QLineEdit;

namespace kvt {

constexpr int kMaxLineBytes = 28;

// Bytes of the text in code page 932; a character without a code-page-932
// form counts one (it stands for a bad byte read from a file).
int Cp932Length(const QString& text);
// Characters of the text that have no code-page-932 form.
int UnconvertibleCount(const QString& text);

class LineByteValidator : public QValidator {
    Q_OBJECT
public:
    // Installs itself on the edit, which owns it.
    explicit LineByteValidator(QLineEdit* edit);
    // Refuses an edit that adds a character without a code-page-932 form,
    // or that leaves the line over the limit and not shorter than before (a
    // longer line loaded from a file can still be shortened).
    State validate(QString& input, int& pos) const override;
    // Shows a line of the store in the edit, whatever its length: a loaded
    // line is never refused, and edits are judged against it.
    void LoadText(const QString& text);

private:
    QLineEdit* edit_;
    // The edit's text before the edit being validated (the edit already
    // holds the new text while it asks).
    QString last_;
};

}  // namespace kvt
