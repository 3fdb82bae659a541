#pragma once

#include <QLineEdit>
#include <array>
#include <cstdint>

namespace kvx {

// An IPv4 address field: up to four dot-separated octets of 0 to 255; an empty octet reads as 0.
class Ipv4Field : public QLineEdit {
    Q_OBJECT
public:
    explicit Ipv4Field(QWidget* parent = nullptr);
    std::array<uint8_t, 4> octets() const;
};

}  // namespace kvx
