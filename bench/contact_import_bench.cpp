// Validating the rows of a large import against reading the same lines, in the same run: the
// validation of 100 000 rows should cost a small multiple of splitting them (and stay well
// under a second).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "contacts/transfer/delimited_reader.h"
#include "contacts/transfer/import_row_validator.h"

namespace {

constexpr int kRows = 100000;

std::string ImportText() {
    std::string text;
    for (int i = 0; i < kRows; ++i) {
        if (i % 4 == 3) {
            text += std::to_string(13800000000LL + i) + ",短信联系人,手机组::第" +
                    std::to_string(i % 50) + "组,,,,,,,\r\n";
        } else {
            text += "user" + std::to_string(i) + "$gov@im.example,联系人" + std::to_string(i) +
                    ",总部::部门" + std::to_string(i % 100) +
                    ",010-88880000,13900000000,u@im.example,软件,某单位,工程师,组员,\r\n";
        }
    }
    return text;
}

// The reference: reading the lines into rows and fields.
void BM_ReadRows(benchmark::State& state) {
    const std::string text = ImportText();
    for (auto _ : state) {
        auto rows = contacts::ReadDelimitedRows(text, contacts::ImportSeparator::Comma);
        benchmark::DoNotOptimize(rows.data());
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}

// Validating every row of the same lines, already read.
void BM_ValidateRows(benchmark::State& state) {
    const auto rows =
        contacts::ReadDelimitedRows(ImportText(), contacts::ImportSeparator::Comma);
    for (auto _ : state) {
        contacts::ImportRowValidator validator("im.example", "iqRosterTop");
        int accepted = 0;
        for (const contacts::ImportRow& row : rows) {
            accepted += validator.ValidateImportRow(row).contact.has_value() ? 1 : 0;
        }
        if (accepted != kRows) state.SkipWithError("a row of the sample was refused");
        benchmark::DoNotOptimize(accepted);
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}

BENCHMARK(BM_ReadRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ValidateRows)->Unit(benchmark::kMillisecond);

}  // namespace
