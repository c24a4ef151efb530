#pragma once
// What the replace-all engine needs of a text: read it whole, and change it by a batch of
// edits at once. The pane implements it over its QTextDocument, StringTarget over a QString,
// so every conversion runs and is tested the same way with or without a window.

#include <QList>
#include <QString>

namespace convert {

// Replace `length` units at `position` by `replacement`. Positions are QString units of the
// text as it was before the batch; a batch is sorted by position and its edits neither
// overlap nor touch (the engine merges touching edits, so a line of converted kana is one
// edit, not one per character).
struct TextEdit
{
    qsizetype position = 0;
    qsizetype length = 0;
    QString replacement;

    friend bool operator==(const TextEdit &, const TextEdit &) = default;
};
using TextEdits = QList<TextEdit>;

class TextTarget
{
public:
    virtual ~TextTarget() = default;

    // The whole text, lines separated by "\n".
    virtual QString text() const = 0;
    // Applies one batch; afterwards text() returns the edited text. An implementation over
    // a document applies the batch in one edit block, back to front so that the positions
    // of the edits still to come stay valid.
    virtual void applyEdits(const TextEdits &edits) = 0;

    // A run of batches that belongs together (the rows of one command). The pane may open
    // one edit block in beginEdits() and close it in endEdits(); calls nest. Use EditScope.
    virtual void beginEdits() {}
    virtual void endEdits() {}
};

// Brackets a run of batches, closing it on every way out, exceptions included.
class EditScope
{
public:
    explicit EditScope(TextTarget &target) : m_target(target) { m_target.beginEdits(); }
    ~EditScope() { m_target.endEdits(); }
    EditScope(const EditScope &) = delete;
    EditScope &operator=(const EditScope &) = delete;

private:
    TextTarget &m_target;
};

// The text after the edits: the reference that every TextTarget must agree with.
QString applyEditsToString(const QString &text, const TextEdits &edits);

class StringTarget final : public TextTarget
{
public:
    StringTarget() = default;
    explicit StringTarget(QString text) : m_text(std::move(text)) {}

    QString text() const override { return m_text; }
    void applyEdits(const TextEdits &edits) override;
    void setText(QString text) { m_text = std::move(text); }
    // Number of applyEdits() calls with at least one edit, for tests and benches.
    int batchCount() const { return m_batches; }

private:
    QString m_text;
    int m_batches = 0;
};

} // namespace convert
