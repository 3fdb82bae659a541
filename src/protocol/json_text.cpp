#include "protocol/json_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <unordered_set>

#include "protocol/utf8_text.h"

namespace kvx {

namespace {

constexpr int kMaxDepth = 64;
constexpr double kLargestWholeNumber = 9007199254740992.0;  // 2^53: every whole number up to it is exact

void writeString(std::string& out, const std::string& text) {
    out += '"';
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (u < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04X", u);
                    out += escaped;
                } else {
                    out += c;
                }
        }
    }
    out += '"';
}

void writeNumber(std::string& out, double number) {
    char text[32];
    if (std::isfinite(number) && std::trunc(number) == number && std::fabs(number) <= kLargestWholeNumber) {
        std::snprintf(text, sizeof text, "%lld", static_cast<long long>(number));
    } else if (std::isfinite(number)) {
        std::snprintf(text, sizeof text, "%.17g", number);
    } else {
        std::snprintf(text, sizeof text, "null");  // JSON has no infinities
    }
    out += text;
}

void writeValue(std::string& out, const Json& value, bool indented, int depth) {
    const auto newline = [&](int level) {
        if (!indented) return;
        out += '\n';
        out.append(static_cast<size_t>(level) * 2, ' ');
    };
    if (value.isNull()) {
        out += "null";
    } else if (const bool* b = value.asBool()) {
        out += *b ? "true" : "false";
    } else if (const double* n = value.asNumber()) {
        writeNumber(out, *n);
    } else if (const std::string* s = value.asString()) {
        writeString(out, *s);
    } else if (const Json::Array* array = value.asArray()) {
        out += '[';
        for (size_t i = 0; i < array->size(); ++i) {
            if (i > 0) out += indented ? ", " : ",";
            writeValue(out, (*array)[i], indented, depth + 1);
        }
        out += ']';
    } else if (const Json::Object* object = value.asObject()) {
        out += '{';
        for (size_t i = 0; i < object->size(); ++i) {
            if (i > 0) out += ',';
            newline(depth + 1);
            writeString(out, (*object)[i].first);
            out += indented ? ": " : ":";
            writeValue(out, (*object)[i].second, indented, depth + 1);
        }
        if (!object->empty()) newline(depth);
        out += '}';
    }
}

// A recursive descent reader over the text; every read checks the end of the text first.
class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    std::optional<Json> document(std::string& error) {
        std::optional<Json> value = this->value(0);
        if (value) {
            skipSpace();
            if (pos_ != text_.size()) fail("text after the JSON value");
        }
        if (!error_.empty()) {
            error = error_ + " at byte " + std::to_string(pos_);
            return std::nullopt;
        }
        return value;
    }

private:
    std::optional<Json> fail(const std::string& why) {
        if (error_.empty()) error_ = why;
        return std::nullopt;
    }

    void skipSpace() {
        while (pos_ < text_.size() &&
               (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\n' || text_[pos_] == '\r'))
            ++pos_;
    }

    bool take(std::string_view word) {
        if (text_.substr(pos_, word.size()) != word) return false;
        pos_ += word.size();
        return true;
    }

    std::optional<Json> value(int depth) {
        if (depth >= kMaxDepth) return fail("nesting deeper than 64 levels");
        skipSpace();
        if (pos_ >= text_.size()) return fail("a value is missing");
        const char c = text_[pos_];
        if (c == '{') return object(depth);
        if (c == '[') return array(depth);
        if (c == '"') {
            std::optional<std::string> s = string();
            if (!s) return std::nullopt;
            return Json(std::move(*s));
        }
        if (take("true")) return Json(true);
        if (take("false")) return Json(false);
        if (take("null")) return Json();
        if (c == '-' || (c >= '0' && c <= '9')) return number();
        return fail("unexpected character");
    }

    std::optional<Json> object(int depth) {
        ++pos_;  // {
        Json result{Json::Object{}};
        std::unordered_set<std::string> names;
        skipSpace();
        if (take("}")) return result;
        while (true) {
            skipSpace();
            if (pos_ >= text_.size() || text_[pos_] != '"') return fail("a member name is missing");
            std::optional<std::string> name = string();
            if (!name) return std::nullopt;
            if (!names.insert(*name).second) return fail("member \"" + *name + "\" given twice");
            skipSpace();
            if (!take(":")) return fail("':' is missing");
            std::optional<Json> member = value(depth + 1);
            if (!member) return std::nullopt;
            result.add(std::move(*name), std::move(*member));
            skipSpace();
            if (take("}")) return result;
            if (!take(",")) return fail("',' or '}' is missing");
        }
    }

    std::optional<Json> array(int depth) {
        ++pos_;  // [
        Json::Array result;
        skipSpace();
        if (take("]")) return Json(std::move(result));
        while (true) {
            std::optional<Json> element = value(depth + 1);
            if (!element) return std::nullopt;
            result.push_back(std::move(*element));
            skipSpace();
            if (take("]")) return Json(std::move(result));
            if (!take(",")) return fail("',' or ']' is missing");
        }
    }

    std::optional<Json> number() {
        const size_t start = pos_;
        const auto digits = [&] {
            const size_t first = pos_;
            while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') ++pos_;
            return pos_ - first;
        };
        take("-");
        if (take("0")) {
            // no further digits after a leading zero
        } else if (digits() == 0) {
            return fail("a number has no digits");
        }
        if (take(".") && digits() == 0) return fail("a fraction has no digits");
        if (pos_ < text_.size() && (text_[pos_] == 'e' || text_[pos_] == 'E')) {
            ++pos_;
            if (!take("+")) take("-");
            if (digits() == 0) return fail("an exponent has no digits");
        }
        const std::string literal(text_.substr(start, pos_ - start));
        const double number = std::strtod(literal.c_str(), nullptr);
        if (!std::isfinite(number)) return fail("a number is out of range");
        return Json(number);
    }

    // Four hex digits of a \u escape.
    std::optional<char32_t> hex4() {
        if (pos_ + 4 > text_.size()) return std::nullopt;
        char32_t unit = 0;
        for (int i = 0; i < 4; ++i) {
            const char h = text_[pos_++];
            unit <<= 4;
            if (h >= '0' && h <= '9') {
                unit |= static_cast<char32_t>(h - '0');
            } else if (h >= 'a' && h <= 'f') {
                unit |= static_cast<char32_t>(h - 'a' + 10);
            } else if (h >= 'A' && h <= 'F') {
                unit |= static_cast<char32_t>(h - 'A' + 10);
            } else {
                return std::nullopt;
            }
        }
        return unit;
    }

    // A \u escape, with the second half of a surrogate pair when the first one starts a pair.
    bool unicodeEscape(std::u16string& units) {
        const std::optional<char32_t> unit = hex4();
        if (!unit) return false;
        if (*unit >= 0xDC00 && *unit <= 0xDFFF) return false;  // a second half alone
        units.push_back(static_cast<char16_t>(*unit));
        if (*unit < 0xD800 || *unit > 0xDBFF) return true;
        if (!take("\\u")) return false;
        const std::optional<char32_t> low = hex4();
        if (!low || *low < 0xDC00 || *low > 0xDFFF) return false;
        units.push_back(static_cast<char16_t>(*low));
        return true;
    }

    std::optional<std::string> string() {
        ++pos_;  // "
        std::string out;
        while (true) {
            if (pos_ >= text_.size()) {
                fail("a text is not closed");
                return std::nullopt;
            }
            const char c = text_[pos_++];
            if (c == '"') break;
            if (static_cast<unsigned char>(c) < 0x20) {
                fail("a control character inside a text");
                return std::nullopt;
            }
            if (c != '\\') {
                out += c;
                continue;
            }
            if (pos_ >= text_.size()) {
                fail("a text is not closed");
                return std::nullopt;
            }
            const char e = text_[pos_++];
            switch (e) {
                case '"':
                case '\\':
                case '/':
                    out += e;
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case 'n':
                    out += '\n';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'u': {
                    std::u16string units;
                    if (!unicodeEscape(units)) {
                        fail("a bad \\u escape");
                        return std::nullopt;
                    }
                    out += toUtf8(units);
                    break;
                }
                default:
                    fail("a bad escape");
                    return std::nullopt;
            }
        }
        if (!fromUtf8(out)) {
            fail("a text that is not UTF-8");
            return std::nullopt;
        }
        return out;
    }

    std::string_view text_;
    size_t pos_ = 0;
    std::string error_;
};

}  // namespace

const Json* Json::member(std::string_view name) const {
    const Object* object = asObject();
    if (!object) return nullptr;
    for (const auto& [key, value] : *object) {
        if (key == name) return &value;
    }
    return nullptr;
}

Json& Json::add(std::string name, Json value) {
    std::get<Object>(value_).emplace_back(std::move(name), std::move(value));
    return *this;
}

std::string writeJson(const Json& value, bool indented) {
    std::string out;
    writeValue(out, value, indented, 0);
    out += '\n';
    return out;
}

std::string jsonLiteral(const Json& value) {
    std::string out;
    writeValue(out, value, false, 0);
    return out;
}

std::optional<Json> parseJson(std::string_view text, std::string& error) {
    return Reader(text).document(error);
}

}  // namespace kvx
