#pragma once

// Reports with data bands built through Prepare: the template is made here,
// written by the template writer and read back, the data sources are
// components on the report's form driven through their events, and the
// prepared pages are read back view by view.

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/band_view.h"
#include "engine/dataset.h"
#include "engine/memo_view.h"
#include "engine/page.h"
#include "engine/subreport_view.h"
#include "build_fixture.h"

namespace quor::test {

// A data source over rows the test computes: `count` rows (it may depend on
// another table's current row), `cell` gives a column of a row. Like a
// table, it stays on its last row when it reaches its end.
struct Table {
    explicit Table(const std::string& name) {
        ds.Name = name;
        ds.OnFirst = [this](TfrDataset&) {
            at = 0;
            past = false;
        };
        ds.OnNext = [this](TfrDataset&) {
            if (at + 1 < count()) ++at;
            else past = true;
        };
        ds.OnPrior = [this](TfrDataset&) {
            if (past) past = false;
            else if (at > 0) --at;
        };
        ds.OnCheckEOF = [this](const TfrDataset&, bool& eof) { eof = past || count() == 0; };
    }
    TfrUserDataset ds;
    int at = 0;
    bool past = false;
    std::function<int()> count = [] { return 0; };
    std::function<Variant(int row, const std::string& column)> cell;
};

struct PrintedItem {
    int page = 0;
    std::string name;
    int left = 0, top = 0;
    std::string text;  // memo lines joined by "|", line-end marks removed
};

class DataReportTest : public BuildTest {
protected:
    void SetUp() override {
        BuildTest::SetUp();
        form_.Name = "Form1";
        report_.Owner = &form_;
        report_.OnGetValue = [this](const std::string& name, Variant& value) {
            // "column" of the first table that has it, at its current row;
            // names of compiled expressions come upper-cased.
            std::string column = name;
            for (char& c : column) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            for (Table* t : tables_)
                if (t->count() > 0) {
                    Variant v = t->cell(t->at, column);
                    if (!v.isEmpty()) {
                        value = v;
                        return;
                    }
                }
        };
        report_.TemplatePages.Clear();
        addPage();
    }
    TfrPage& addPage() {
        TfrPage& p = report_.TemplatePages.Add();
        p.Margins = PageMargins{36, 36, 36, 36};
        return p;
    }
    TfrPage& page(std::size_t i = 0) { return report_.TemplatePages[i]; }

    Table& table(const std::string& name) {
        owned_.push_back(std::make_unique<Table>(name));
        tables_.push_back(owned_.back().get());
        form_.Components.push_back(&owned_.back()->ds);
        return *owned_.back();
    }

    TfrBandView& band(const std::string& name, int kind, int top, int height, const std::string& source = "",
                      std::uint16_t flags = 0, std::size_t pageIndex = 0) {
        auto v = std::make_unique<TfrBandView>();
        v->Name = name;
        v->FrameTyp = static_cast<std::uint16_t>(kind);
        v->SetBounds(0, top, 700, height);
        v->Flags = flags;
        v->formatString = source;
        return static_cast<TfrBandView&>(*page(pageIndex).addObject(std::move(v)));
    }
    TfrMemoView& memo(const std::string& name, int left, int top, const std::string& text, int width = 200,
                      std::size_t pageIndex = 0) {
        auto v = std::make_unique<TfrMemoView>();
        v->Name = name;
        v->SetBounds(left, top, width, 16);
        v->Flags = 0;
        v->Memo = {text};
        return static_cast<TfrMemoView&>(*page(pageIndex).addObject(std::move(v)));
    }
    // A subreport view on page `onPage` showing page `shown`.
    void subreport(int left, int top, int shown, std::size_t onPage = 0) {
        auto v = std::make_unique<TfrSubReportView>();
        v->Name = "Sub" + std::to_string(shown);
        v->SetBounds(left, top, 300, 20);
        v->SubPage = shown;
        page(onPage).addObject(std::move(v));
    }
    // A band with one memo at its top-left corner, 40 in from the margin.
    void row(const std::string& name, int kind, int top, const std::string& text, const std::string& source = "",
             std::uint16_t flags = 0) {
        band(name, kind, top, 20, source, flags);
        memo(name + "Text", 40, top + 2, text);
    }

    // Writes the template, reads it back and builds it.
    bool prepare() {
        const std::string bytes = save(report_);
        load(bytes);
        return report_.Prepare();
    }

    // Every message shown, for a failure's explanation.
    std::string shown() const {
        std::string all;
        for (const auto& m : messages_.messages()) all += m.text + "\n";
        return all;
    }

    std::vector<PrintedItem> printed() {
        std::vector<PrintedItem> out;
        for (int i = 0; i < report_.PreparedPages.Count(); ++i) {
            report_.PreparedPages.Unpack(i);
            for (const auto& v : report_.PreparedPages.Item(i).Page->Objects()) {
                PrintedItem item{i, v->Name, v->Left, v->Top, ""};
                for (const std::string& line : v->Memo) {
                    if (!item.text.empty()) item.text += "|";
                    for (char c : line)
                        if (c != '\x01') item.text += c;
                }
                out.push_back(item);
            }
        }
        return out;
    }
    // The texts printed, in order, over all pages.
    std::vector<std::string> texts() {
        std::vector<std::string> out;
        for (const PrintedItem& p : printed()) out.push_back(p.text);
        return out;
    }

    TfrComponentOwner form_;
    std::vector<std::unique_ptr<Table>> owned_;
    std::vector<Table*> tables_;
};

}  // namespace quor::test
