// One parameterised query of 10,000 rows, read through the ADO-style query
// component and through the engine interface, to show what the component
// layer (client-side rows, variants, fields by name) costs over the engine.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>

#include "platform/db/ado.h"
#include "platform/db/engine.h"

namespace {

constexpr int kRowsPerWarehouse = 10000;
constexpr const char* kQuery =
    "SELECT ITEM, WH, QTY, DOC_DATE FROM LEDGER WHERE WH = :WH ORDER BY ID";

// A ledger of two warehouses in a temporary database, removed at exit.
class Ledger {
 public:
  Ledger() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "vx_db_bench_XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) std::abort();
    folder_ = tmpl;
    file_ = folder_ + "/ledger.db";
    auto s = vx::db::OpenSession("Data Source=" + file_ + ";Create=True");
    s->ExecuteScript(
        "CREATE TABLE LEDGER (ID INTEGER PRIMARY KEY, ITEM TEXT, WH TEXT, QTY REAL, "
        "DOC_DATE TEXT)");
    vx::db::TTransaction t(*s);
    auto insert =
        s->Prepare("INSERT INTO LEDGER (ITEM, WH, QTY, DOC_DATE) VALUES (:I, :W, :Q, :D)");
    for (int i = 0; i < 2 * kRowsPerWarehouse; ++i) {
      insert->Bind("I", vx::Variant("ITEM" + std::to_string(i % 977)));
      insert->Bind("W", vx::Variant(i % 2 ? "W2" : "W1"));
      insert->Bind("Q", vx::Variant(i * 0.5));
      insert->Bind("D", vx::Variant("20241211"));
      insert->Execute();
    }
    t.Commit();
  }
  ~Ledger() {
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }
  const std::string& File() const { return file_; }

 private:
  std::string folder_;
  std::string file_;
};

const Ledger& TheLedger() {
  static Ledger ledger;
  return ledger;
}

void BM_EngineQuery(benchmark::State& state) {
  auto session = vx::db::OpenSession("Data Source=" + TheLedger().File());
  auto st = session->Prepare(kQuery);
  for (auto _ : state) {
    st->Bind("WH", vx::Variant("W1"));
    std::size_t rows = 0, bytes = 0;
    double qty = 0;
    while (st->Step()) {
      bytes += st->ColumnText(0).size() + st->ColumnText(3).size();
      qty += st->ColumnDouble(2);
      ++rows;
    }
    if (rows != kRowsPerWarehouse) state.SkipWithError("wrong row count");
    benchmark::DoNotOptimize(bytes);
    benchmark::DoNotOptimize(qty);
  }
  state.SetItemsProcessed(state.iterations() * kRowsPerWarehouse);
}
BENCHMARK(BM_EngineQuery)->Unit(benchmark::kMillisecond);

void BM_AdoQuery(benchmark::State& state) {
  auto owner = std::make_unique<vx::TComponent>(nullptr);
  auto* ado = new vx::TVxADOConnection(owner.get());
  ado->SetLoginPrompt(false);
  ado->SetConnectionString("Data Source=" + TheLedger().File());
  ado->SetConnected(true);
  auto* query = new vx::TVxADOQuery(owner.get());
  query->SetConnection(ado);
  query->SQL()->SetText(kQuery);
  for (auto _ : state) {
    query->Close();
    query->ParamByName("WH").SetValue("W1");
    query->Open();
    std::size_t rows = 0, bytes = 0;
    double qty = 0;
    for (query->First(); !query->Eof(); query->Next()) {
      bytes += query->FieldByName("ITEM").AsString().size() +
               query->FieldByName("DOC_DATE").AsString().size();
      qty += query->FieldByName("QTY").AsFloat();
      ++rows;
    }
    if (rows != kRowsPerWarehouse) state.SkipWithError("wrong row count");
    benchmark::DoNotOptimize(bytes);
    benchmark::DoNotOptimize(qty);
  }
  state.SetItemsProcessed(state.iterations() * kRowsPerWarehouse);
}
BENCHMARK(BM_AdoQuery)->Unit(benchmark::kMillisecond);

}  // namespace
