#pragma once

#include <concepts>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace kvx {

// A JSON value for korvelux-ctl's output and its state files. The members of an object keep the order in
// which they were added (and written), so every document comes out in the same order every time.
class Json {
public:
    using Array = std::vector<Json>;
    using Object = std::vector<std::pair<std::string, Json>>;

    Json() = default;  // null
    Json(bool value) : value_(value) {}
    template <std::integral Whole>
    requires(!std::same_as<Whole, bool>) Json(Whole value) : value_(static_cast<double>(value)) {}
    Json(double value) : value_(value) {}
    Json(std::string value) : value_(std::move(value)) {}
    Json(const char* value) : value_(std::string(value)) {}
    Json(Array value) : value_(std::move(value)) {}
    Json(Object value) : value_(std::move(value)) {}

    bool isNull() const { return std::holds_alternative<std::nullptr_t>(value_); }
    const bool* asBool() const { return std::get_if<bool>(&value_); }
    const double* asNumber() const { return std::get_if<double>(&value_); }
    const std::string* asString() const { return std::get_if<std::string>(&value_); }
    const Array* asArray() const { return std::get_if<Array>(&value_); }
    const Object* asObject() const { return std::get_if<Object>(&value_); }
    // The member of an object by its name; nullptr when this is no object or has no such member.
    const Json* member(std::string_view name) const;

    // Adds a member to an object (this must be one).
    Json& add(std::string name, Json value);

    friend bool operator==(const Json&, const Json&) = default;

private:
    std::variant<std::nullptr_t, bool, double, std::string, Array, Object> value_{nullptr};
};

// The JSON text of a value: on one line, or indented by two spaces a level (with a final newline either way).
// Whole numbers are written without a fraction; texts are written as UTF-8 with the quotes, backslashes and
// control characters escaped.
std::string writeJson(const Json& value, bool indented = false);
// The same on one line without the final newline, for a value inside a line of text.
std::string jsonLiteral(const Json& value);

// Reads a whole JSON text. Refuses anything that is not exactly one JSON value (with white space around it),
// texts that are not UTF-8, objects that name a member twice, and nesting deeper than 64 levels. On failure
// returns nothing and says why, and at which byte, in `error`.
std::optional<Json> parseJson(std::string_view text, std::string& error);

}  // namespace kvx
