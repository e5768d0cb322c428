#pragma once

namespace kelvarin {

// The window's transfer progress bar.
class ProgressBar {
public:
    virtual ~ProgressBar() = default;

    virtual void setMinimum(int v) = 0;
    virtual void setMaximum(int v) = 0;
    virtual void setValue(int v) = 0;
    virtual int minimum() const = 0;
    virtual int maximum() const = 0;
    virtual int value() const = 0;
};

// A progress bar that only remembers its values: for code run without a window.
class MemoryProgressBar final : public ProgressBar {
public:
    void setMinimum(int v) override { m_min = v; }
    void setMaximum(int v) override { m_max = v; }
    void setValue(int v) override { m_value = v; }
    int minimum() const override { return m_min; }
    int maximum() const override { return m_max; }
    int value() const override { return m_value; }

private:
    int m_min = 0;
    int m_max = 100;
    int m_value = 0;
};

} // namespace kelvarin
