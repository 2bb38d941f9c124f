#pragma once
// A small strict JSON reader for the tests: what veltrano-cli prints must parse whole, and
// the tests then look at the values.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace veltrano::clitest {

struct Json {
    using Array = std::vector<Json>;
    using Object = std::map<std::string, Json>;
    std::variant<std::nullptr_t, bool, double, std::string, std::shared_ptr<Array>,
                 std::shared_ptr<Object>>
        v;

    const Json& operator[](const std::string& key) const { return std::get<5>(v)->at(key); }
    const Json& operator[](std::size_t i) const { return std::get<4>(v)->at(i); }
    bool Has(const std::string& key) const { return std::get<5>(v)->count(key) > 0; }
    std::size_t Size() const {
        return v.index() == 4 ? std::get<4>(v)->size() : std::get<5>(v)->size();
    }
    const std::string& Str() const { return std::get<3>(v); }
    int Int() const { return static_cast<int>(std::get<2>(v)); }
    bool Bool() const { return std::get<1>(v); }
    std::vector<int> Ints() const {
        std::vector<int> out;
        for (const Json& j : *std::get<4>(v))
            out.push_back(j.Int());
        return out;
    }
};

class JsonReader {
  public:
    // The value the whole text holds (white space around it allowed), or nothing.
    static std::optional<Json> Parse(std::string_view text) {
        JsonReader r{text};
        Json j;
        if (!r.Value(j)) return std::nullopt;
        r.Space();
        if (r.at_ != text.size()) return std::nullopt;
        return j;
    }

  private:
    explicit JsonReader(std::string_view t) : t_(t) {}

    void Space() {
        while (at_ < t_.size() &&
               (t_[at_] == ' ' || t_[at_] == '\n' || t_[at_] == '\r' || t_[at_] == '\t'))
            ++at_;
    }
    bool Eat(char c) {
        Space();
        if (at_ < t_.size() && t_[at_] == c) return ++at_, true;
        return false;
    }
    bool Word(std::string_view w) {
        if (t_.substr(at_, w.size()) != w) return false;
        at_ += w.size();
        return true;
    }

    bool String(std::string& out) {
        if (!Eat('"')) return false;
        while (at_ < t_.size()) {
            const auto c = static_cast<unsigned char>(t_[at_++]);
            if (c == '"') return true;
            if (c < 0x20) return false;
            if (c != '\\') {
                out += static_cast<char>(c);
                continue;
            }
            if (at_ >= t_.size()) return false;
            const char e = t_[at_++];
            const std::string_view simple = "\"\\/bfnrt", meant = "\"\\/\b\f\n\r\t";
            if (const auto i = simple.find(e); i != std::string_view::npos) {
                out += meant[i];
            } else if (e == 'u' && at_ + 4 <= t_.size()) {
                const std::uint32_t u = std::stoul(std::string(t_.substr(at_, 4)), nullptr, 16);
                at_ += 4;
                if (u >= 0x80) return false; // the tests escape only control characters
                out += static_cast<char>(u);
            } else {
                return false;
            }
        }
        return false;
    }

    bool Value(Json& j) {
        Space();
        if (at_ >= t_.size()) return false;
        const char c = t_[at_];
        if (c == '"') {
            std::string s;
            if (!String(s)) return false;
            j.v = std::move(s);
        } else if (c == '{') {
            ++at_;
            auto o = std::make_shared<Json::Object>();
            if (!Eat('}')) {
                do {
                    std::string key;
                    Json value;
                    Space();
                    if (!String(key) || !Eat(':') || !Value(value)) return false;
                    if (!o->emplace(std::move(key), std::move(value)).second) return false;
                } while (Eat(','));
                if (!Eat('}')) return false;
            }
            j.v = std::move(o);
        } else if (c == '[') {
            ++at_;
            auto a = std::make_shared<Json::Array>();
            if (!Eat(']')) {
                do {
                    Json value;
                    if (!Value(value)) return false;
                    a->push_back(std::move(value));
                } while (Eat(','));
                if (!Eat(']')) return false;
            }
            j.v = std::move(a);
        } else if (Word("true")) {
            j.v = true;
        } else if (Word("false")) {
            j.v = false;
        } else if (Word("null")) {
            j.v = nullptr;
        } else {
            const std::size_t start = at_;
            if (at_ < t_.size() && t_[at_] == '-') ++at_;
            while (at_ < t_.size() && t_[at_] >= '0' && t_[at_] <= '9')
                ++at_;
            if (at_ == start || (t_[start] == '-' && at_ == start + 1)) return false;
            j.v = std::stod(std::string(t_.substr(start, at_ - start)));
        }
        return true;
    }

    std::string_view t_;
    std::size_t at_ = 0;
};

} // namespace veltrano::clitest
