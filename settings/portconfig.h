#pragma once

#include <QString>

// The port as the rest of the program sees it: a name and four list positions (not line values).
struct PortConfig {
    // The longest port name the settings file keeps.
    static constexpr int kMaxNameLength = 255;

    QString portName = QStringLiteral("COM1"); // up to 255 characters, no blanks
    int baudIndex = 3;                         // 1200 baud
    int dataBitsIndex = 4;                     // 8 bits
    int stopBitsIndex = 2;                     // two stop bits
    int parityIndex = 1;                       // "Нет"

    friend bool operator==(const PortConfig&, const PortConfig&) = default;
};
