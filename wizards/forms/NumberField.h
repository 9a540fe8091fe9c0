#pragma once
// A whole-number field of a wizard. A field the user empties takes the
// field's default when it is left or read, never the value it had before.
#include <QString>

template <class SpinBox>
class NumberField : public SpinBox {
public:
    explicit NumberField(double defaultValue, QWidget* parent = nullptr) : SpinBox(parent), m_default(defaultValue) {}

    void fixup(QString& input) const override
    {
        if (input.trimmed().isEmpty())
            input = this->textFromValue(static_cast<decltype(this->value())>(m_default));
        else
            SpinBox::fixup(input);
    }

private:
    double m_default;
};
