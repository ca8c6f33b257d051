#include "platform/font_table.h"

#include <QGlyphRun>
#include <QHash>
#include <QString>
#include <QTextLayout>
#include <QVector>

#include <algorithm>
#include <functional>
#include <list>
#include <utility>
#include <vector>

namespace quor {
namespace {

// Characters left to the shaper even where the font has a glyph: controls,
// format characters (a shaped soft hyphen vanishes), marks, line and
// paragraph separators, and everything that is not laid out left to right.
bool tableCharacter(QChar c) {
    switch (c.category()) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Other_NotAssigned:
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph: return false;
    default: break;
    }
    switch (c.direction()) {
    case QChar::DirR:
    case QChar::DirAL:
    case QChar::DirRLE:
    case QChar::DirRLO:
    case QChar::DirLRE:
    case QChar::DirLRO:
    case QChar::DirPDF:
    case QChar::DirRLI:
    case QChar::DirLRI:
    case QChar::DirFSI:
    case QChar::DirPDI:
    case QChar::DirNSM:
    case QChar::DirBN:
    case QChar::DirB:
    case QChar::DirS: return false;
    default: return true;
    }
}

// An order-2 de Bruijn sequence over n symbols: every ordered pair of
// symbols stands side by side exactly once (n * n + 1 symbols).
std::vector<int> allPairs(int n) {
    std::vector<int> seq;
    if (n <= 0) return seq;
    int a[3] = {0, 0, 0};
    std::function<void(int, int)> next = [&](int t, int p) {
        if (t > 2) {
            if (2 % p == 0)
                for (int j = 1; j <= p; ++j) seq.push_back(a[j]);
            return;
        }
        a[t] = a[t - p];
        next(t + 1, p);
        for (int j = a[t - p] + 1; j < n; ++j) {
            a[t] = j;
            next(t + 1, t);
        }
    };
    next(1, 1);
    seq.push_back(seq.front());
    return seq;
}

struct Shaped {
    QVector<quint32> glyphs;
    QVector<double> x;
};

// The glyphs and pen positions the shaper gives a text in the font; false
// when any glyph comes from another (fallback) font.
bool shape(const QString& text, const QFont& font, const QRawFont& raw, Shaped& out) {
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    if (!line.isValid()) return false;
    const QList<QGlyphRun> runs = line.glyphRuns();
    for (const QGlyphRun& run : runs) {
        const QRawFont f = run.rawFont();
        if (f.familyName() != raw.familyName() || f.styleName() != raw.styleName()) return false;
    }
    // Left to right: runs and glyphs in pen order.
    std::vector<std::pair<double, const QGlyphRun*>> order;
    for (const QGlyphRun& run : runs)
        if (!run.positions().isEmpty()) order.emplace_back(run.positions().front().x(), &run);
    std::stable_sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [x, run] : order) {
        out.glyphs += run->glyphIndexes();
        for (const QPointF& p : run->positions()) out.x.push_back(p.x());
    }
    return true;
}

// True when shaping the characters in this order gives the table's glyphs
// at the table's positions.
bool shapesAsTable(const std::vector<unsigned char>& bytes, const std::u16string& unicode, const QFont& font,
                   const QRawFont& raw, const std::array<std::uint32_t, 256>& glyphs,
                   const std::array<double, 256>& advances) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (unsigned char b : bytes) text += QChar(unicode[b]);
    Shaped s;
    if (!shape(text, font, raw, s) || s.glyphs.size() != static_cast<qsizetype>(bytes.size())) return false;
    double x = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (s.glyphs[static_cast<qsizetype>(i)] != glyphs[bytes[i]] || s.x[static_cast<qsizetype>(i)] != x)
            return false;
        x += advances[bytes[i]];
    }
    return true;
}

// Whether pairs of bytes shape as their single glyphs do: known per face and
// code page, since substitutions do not depend on the size and unhinted
// advances scale with it.
bool pairsShapeAsTable(const std::vector<unsigned char>& covered, const std::u16string& unicode,
                       const QFont& font, CodePage page, const QRawFont& raw,
                       const std::array<std::uint32_t, 256>& glyphs, const std::array<double, 256>& advances) {
    static QHash<QString, bool> verdicts;
    const QString key = QStringLiteral("%1|%2|%3|%4|%5")
                            .arg(raw.familyName(), raw.styleName())
                            .arg(font.weight())
                            .arg(font.italic())
                            .arg(static_cast<int>(page));
    if (auto it = verdicts.constFind(key); it != verdicts.constEnd()) return it.value();
    // Characters of different scripts are shaped apart; those common to all
    // scripts (digits, punctuation, box drawing) join either side.
    QHash<int, std::vector<unsigned char>> byScript;
    std::vector<unsigned char> common;
    for (unsigned char b : covered) {
        const QChar::Script script = QChar(unicode[b]).script();
        if (script == QChar::Script_Common || script == QChar::Script_Inherited) common.push_back(b);
        else byScript[script].push_back(b);
    }
    if (byScript.isEmpty()) byScript[QChar::Script_Common] = {};
    bool simple = true;
    for (auto it = byScript.cbegin(); simple && it != byScript.cend(); ++it) {
        std::vector<unsigned char> set = it.value();
        set.insert(set.end(), common.begin(), common.end());
        std::vector<unsigned char> text;
        for (int i : allPairs(static_cast<int>(set.size()))) text.push_back(set[static_cast<size_t>(i)]);
        simple = shapesAsTable(text, unicode, font, raw, glyphs, advances);
    }
    verdicts.insert(key, simple);
    return simple;
}

QFont undecorated(const QFont& font) {
    QFont f = font;
    f.setUnderline(false);
    f.setStrikeOut(false);
    f.setOverline(false);
    f.setLetterSpacing(QFont::AbsoluteSpacing, 0);
    return f;
}

}  // namespace

FontTable::FontTable(const QFont& requested, CodePage page) {
    const QFont font = undecorated(requested);
    raw_ = QRawFont::fromFont(font);
    if (!raw_.isValid()) return;
    std::string all(256, '\0');
    for (int b = 0; b < 256; ++b) all[static_cast<size_t>(b)] = static_cast<char>(b);
    const std::u16string unicode = bytesToUnicode(all, page);
    const QString text = QString::fromUtf16(unicode.data(), static_cast<qsizetype>(unicode.size()));
    const QList<quint32> glyphs = raw_.glyphIndexesForString(text);
    if (glyphs.size() != 256) return;
    const QList<QPointF> advances = raw_.advancesForGlyphIndexes(glyphs);
    std::vector<unsigned char> covered;
    for (int b = 0; b < 256; ++b) {
        const QChar c(unicode[static_cast<size_t>(b)]);
        glyphs_[static_cast<size_t>(b)] = glyphs[b];
        advances_[static_cast<size_t>(b)] = advances.value(b).x();
        has_[static_cast<size_t>(b)] = glyphs[b] != 0 && tableCharacter(c) && raw_.supportsCharacter(c);
        if (has_[static_cast<size_t>(b)]) covered.push_back(static_cast<unsigned char>(b));
    }
    // Every byte once at this size: a character the shaper maps elsewhere
    // (or that a fallback font draws) is left to the shaper.
    if (covered.empty() || !shapesAsTable(covered, unicode, font, raw_, glyphs_, advances_)) {
        std::vector<unsigned char> kept;
        for (unsigned char b : covered) {
            if (shapesAsTable({b}, unicode, font, raw_, glyphs_, advances_)) kept.push_back(b);
            else has_[b] = false;
        }
        covered = std::move(kept);
    }
    simple_ = !covered.empty() && pairsShapeAsTable(covered, unicode, font, page, raw_, glyphs_, advances_);
}

bool FontTable::covers(std::string_view bytes) const {
    if (!simple_) return false;
    for (char c : bytes)
        if (!has_[static_cast<unsigned char>(c)]) return false;
    return true;
}

double FontTable::advance(std::string_view bytes) const {
    double sum = 0;
    for (char c : bytes) sum += advances_[static_cast<unsigned char>(c)];
    return sum;
}

std::shared_ptr<const FontTable> FontTable::of(const QFont& font, CodePage page) {
    // A few fonts are in use at a time (the memo font at the measuring and
    // at the drawing resolution, a logo's fonts); keep the recent ones.
    constexpr size_t kKept = 16;
    using Entry = std::pair<QString, std::shared_ptr<const FontTable>>;
    // Never destroyed: fonts must not be released after the application.
    static auto& recent = *new std::list<Entry>;
    const QString key = undecorated(font).key() + QLatin1Char('|') + QString::number(static_cast<int>(page));
    for (auto it = recent.begin(); it != recent.end(); ++it) {
        if (it->first == key) {
            recent.splice(recent.begin(), recent, it);
            return recent.front().second;
        }
    }
    recent.emplace_front(key, std::make_shared<const FontTable>(font, page));
    if (recent.size() > kKept) recent.pop_back();
    return recent.front().second;
}

}  // namespace quor
