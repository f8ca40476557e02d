#include "cut/full_width.h"
#include "cut/text_to_number.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <cstdio>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

std::string Printable(std::u16string_view text)
{
    std::string out;
    for (const char16_t c : text) {
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(c));
            out += escaped;
        }
    }
    return out;
}

TEST(TextToNumber, ReadsTheLeadingNumber)
{
    constexpr double inf = std::numeric_limits<double>::infinity();
    const std::u16string manyZeros(400, u'0');
    const std::u16string huge = u"1" + manyZeros;                 // 1e400 written out
    const std::u16string tiny = u"0." + manyZeros + u"1";          // 1e-401 written out
    const std::u16string longOne = u"1" + manyZeros + u"e-400";    // exactly 1

    const struct {
        std::u16string_view text;
        double expected;
    } cases[] = {
        // full-width forms
        {u"１２．５", 12.5},
        {u"\u3000１０", 10},
        {u"－５", -5},
        {u"＋５", 5},
        {u"１ｅ３", 1000},
        {u"１Ｄ２", 100},
        {u"\uFF0E５", 0.5},
        // exponents, d and D included
        {u"1d2", 100},
        {u"1D-2", 0.01},
        {u"1E+2", 100},
        {u"2.5e-1", 0.25},
        {u"1e", 1},
        {u"1e+", 1},
        {u"1d-x", 1},
        {u"1e0000000000000000000000005", 1e5},
        // white space and sign
        {u" \t+7", 7},
        {u"\n\v\f\r5", 5},
        {u"\u00A05", 0}, // no-break space is not white space here
        {u"- 5", 0},
        {u"+-5", 0},
        {u"+", 0},
        {u"-", 0},
        // where the number stops
        {u"-3abc", -3},
        {u"12 34", 12},
        {u"1,5", 1},
        {u"1.5.6", 1.5},
        {u"0x1A", 0},
        {u"007", 7},
        {u"\u0663", 0}, // other scripts' digits are not digits here
        {u"\u2605" u"5", 0},
        // no number at all
        {u"abc", 0},
        {u"", 0},
        {u".", 0},
        {u"-.e5", 0},
        {u"inf", 0},
        {u"nan", 0},
        // the point on either side
        {u".5", 0.5},
        {u"-.5", -0.5},
        {u"5.", 5},
        {u"5.e1", 50},
        // out of range, as strtod: infinity above, 0 or a denormal below
        {u"1e400", inf},
        {u"-1e400", -inf},
        {u"1.7976931348623159e308", inf},
        {u"1.7976931348623157e308", 1.7976931348623157e308},
        {u"1e99999999999999999999", inf},
        {huge, inf},
        {u"1e-400", 0},
        {u"1e-99999999999999999999", 0},
        {tiny, 0},
        {u"4e-320", 4e-320},
        {u"0.000001e310", 1e304},
        {longOne, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TextToNumber(c.text), c.expected) << '"' << Printable(c.text) << '"';
}

// glibc's iconv: the GBK answers, independently of the folding table.
class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    ~Iconv()
    {
        if (valid())
            iconv_close(cd_);
    }
    [[nodiscard]] bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    std::optional<std::string> Convert(std::string in)
    {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char out[16];
        char* inPtr = in.data();
        char* outPtr = out;
        std::size_t inLeft = in.size();
        std::size_t outLeft = sizeof out;
        if (iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0)
            return std::nullopt;
        return std::string(out, outPtr);
    }

private:
    iconv_t cd_;
};

// The folding as the double-byte rule states it; 0 for a character it leaves alone.
char ByteRule(unsigned char lead, unsigned char trail)
{
    if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE)
        return static_cast<char>(trail - 0x80);
    if (lead == 0xA1 && trail == 0xA1)
        return ' ';
    if (lead == 0xA1 && trail == 0xAB)
        return '~';
    if (lead == 0xA1 && (trail == 0xEE || trail == 0xEF))
        return '*';
    return 0;
}

char16_t Utf16Unit(const std::string& le) { return static_cast<char16_t>(static_cast<unsigned char>(le[0]) | static_cast<unsigned char>(le[1]) << 8); }

TEST(FullWidthFolding, EachFoldedDoubleByteCharacterGivesItsAscii)
{
    Iconv decode("UTF-16LE", "GBK");
    ASSERT_TRUE(decode.valid()) << "iconv has no GBK";
    std::vector<std::pair<unsigned char, unsigned char>> folded{{0xA1, 0xA1}, {0xA1, 0xAB}, {0xA1, 0xEE}, {0xA1, 0xEF}};
    for (unsigned trail = 0xA1; trail <= 0xFE; ++trail)
        folded.emplace_back(0xA3, static_cast<unsigned char>(trail));

    for (const auto& [lead, trail] : folded) {
        const auto unicode = decode.Convert({static_cast<char>(lead), static_cast<char>(trail)});
        ASSERT_TRUE(unicode && unicode->size() == 2) << std::hex << +lead << +trail;
        const char16_t c = Utf16Unit(*unicode);
        EXPECT_EQ(FoldFullWidth(c), static_cast<char16_t>(ByteRule(lead, trail)))
            << std::hex << "GBK " << +lead << +trail << " is U+" << +c;
    }
}

TEST(FullWidthFolding, NoOtherCharacterChanges)
{
    // Every BMP character goes to GBK; only those landing on a folded pair may change.
    Iconv encode("GBK", "UTF-16LE");
    ASSERT_TRUE(encode.valid()) << "iconv has no GBK";
    int folds = 0;
    for (unsigned u = 1; u <= 0xFFFF; ++u) {
        if (u >= 0xD800 && u <= 0xDFFF)
            continue;
        const auto c = static_cast<char16_t>(u);
        const auto gbk = encode.Convert({static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)});
        char expected = 0;
        if (gbk && gbk->size() == 2)
            expected = ByteRule(static_cast<unsigned char>((*gbk)[0]), static_cast<unsigned char>((*gbk)[1]));
        folds += expected != 0;
        EXPECT_EQ(FoldFullWidth(c), expected ? static_cast<char16_t>(expected) : c) << std::hex << "U+" << u;
    }
    EXPECT_EQ(folds, 94 + 4);
}

} // namespace
