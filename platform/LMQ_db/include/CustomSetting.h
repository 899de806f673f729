// Stand-in for the host's user customisation: the label size factor (1.0 unless set).
#pragma once

class ICustomSetting {
public:
    static ICustomSetting* Instance()
    {
        static ICustomSetting s;
        return &s;
    }
    double GetLabelSizeFactor() const { return m_dLabelSizeFactor; }
    void SetLabelSizeFactor(double d) { m_dLabelSizeFactor = d; }

private:
    double m_dLabelSizeFactor = 1.0;
};
