#pragma once

// What the expression engine asks of the rest of the system. Each host is
// optional: a name whose host is missing is simply not found by that rule.

#include <cstdint>
#include <optional>
#include <string>

#include "engine/variant.h"

namespace quor {

// The view being printed (`currentView`).
class ExpressionView {
public:
    virtual ~ExpressionView() = default;
    virtual std::uint32_t displayFormatCode() const = 0;
    virtual std::string displayFormatString() const = 0;
    virtual bool hideZeros() const = 0;
    // Character set of the view's font: the code page of its text.
    virtual int textCharset() const = 0;
    // "CALCWIDTH": a memo expands its text and measures it; other views
    // give their Width.
    virtual int calcWidth() = 0;
};

// The report's names: its value-lookup handler, data dictionary and
// variables. The report component implements it. (Objects are found among
// the current report's views, see view_bridge.h.)
class ReportNames {
public:
    virtual ~ReportNames() = default;
    virtual std::optional<Variant> handlerValue(const std::string& name) = 0;
    virtual std::optional<Variant> dictionaryValue(const std::string& name) = 0;
    virtual std::optional<Variant> variableValue(const std::string& name) = 0;
};

// Values of the build in progress. The page and band engine implements it.
class BuildValues {
public:
    virtual ~BuildValues() = default;
    virtual int pageNumber() const = 0;        // "PAGE#", from 1
    virtual int totalPages() const = 0;        // "TOTALPAGES"
    virtual double buildDateTime() const = 0;  // "DATE", "TIME": days since 1899-12-30
    virtual int lineNumber() const = 0;        // "LINE#"
    virtual int lineThrough() const = 0;       // "LINETHROUGH#"
    virtual int columnNumber() const = 0;      // "COLUMN#"
    virtual int currentNumber() const = 0;     // "CURRENT#"
    virtual int cursorY() const = 0;           // "CURY"
    virtual int freeSpace() const = 0;         // "FREESPACE"
    virtual bool finalPass() const = 0;        // "FINALPASS"
    virtual int pageHeight() const = 0;        // "PAGEHEIGHT"
    virtual int pageWidth() const = 0;         // "PAGEWIDTH"

    // Commands of the script interpreter, which reaches the build through
    // the expression engine's `build`.
    virtual void setCursorY(int y) = 0;                   // "CURY" assigned
    virtual void stopReport() = 0;                        // "STOPREPORT"
    virtual void newPage() = 0;                           // "NEWPAGE"
    virtual void newColumn() = 0;                         // "NEWCOLUMN"
    virtual void showBand(const std::string& name) = 0;  // "SHOWBAND"
};

// One call of SUM, MIN, MAX, AVG or COUNT.
struct AggregateCall {
    int code = 0;            // 11 SUM, 12 MIN, 13 MAX, 14 AVG, 15 COUNT
    std::string expression;  // the aggregated expression's text
    std::string dataBand;    // the data band named by the call ("" = the caller's level)
    std::string option;      // "1": also while the data band is invisible
};

inline constexpr int kAggregateSum = 11;
inline constexpr int kAggregateMin = 12;
inline constexpr int kAggregateMax = 13;
inline constexpr int kAggregateAvg = 14;
inline constexpr int kAggregateCount = 15;

// The accumulators of data bands. The data loop implements it.
class AggregateHost {
public:
    virtual ~AggregateHost() = default;
    // True while values are collected for aggregates: calls register their
    // accumulators, errors are suppressed and brackets give no text.
    virtual bool collecting() const = 0;
    virtual void registerCall(const AggregateCall& call) = 0;
    // The accumulator of the call and the record count of its data band.
    virtual Variant accumulator(const AggregateCall& call) = 0;
    virtual int recordCount(const AggregateCall& call) = 0;
};

// Questions to the user. By default the platform's dialog layer answers
// (PlatformDialogs), which never blocks unattended runs.
class DialogHost {
public:
    virtual ~DialogHost() = default;
    // INPUT: an input dialog with an empty caption; returns the entered
    // text (the default when the user cancels). Texts are bytes of
    // `charset`.
    virtual std::string input(const std::string& prompt, const std::string& defaultText, int charset) = 0;
    // MESSAGEBOX: returns the code of the pressed button.
    virtual int messageBox(const std::string& text, const std::string& caption, int flags, int charset) = 0;
};

}  // namespace quor
