#include "app/ipv4_field.h"

#include <QRegularExpressionValidator>

namespace kvx {

Ipv4Field::Ipv4Field(QWidget* parent) : QLineEdit(parent) {
    static const QRegularExpression octets(QStringLiteral(R"(^(25[0-5]|2[0-4]\d|1?\d?\d)?(\.(25[0-5]|2[0-4]\d|1?\d?\d)?){0,3}$)"));
    setValidator(new QRegularExpressionValidator(octets, this));
}

std::array<uint8_t, 4> Ipv4Field::octets() const {
    std::array<uint8_t, 4> out{};
    const QStringList parts = text().split(QLatin1Char('.'));
    for (int i = 0; i < parts.size() && i < 4; ++i) out[static_cast<size_t>(i)] = static_cast<uint8_t>(parts[i].toUInt());
    return out;
}

}  // namespace kvx
