// A program folder with a new "TI" calculation of a netexport network open
// in Form4: the data tables, prom3.bat and optimer beside it, and helpers
// that replace prom3.bat by one that hands over a prepared answer.
#pragma once
#include <cstdlib>

#include "arbcalc/arbrun.h"
#include "arbform/form4.h"
#include "tests/register/fixture.h"

namespace arbtest {

using namespace regtest;
using dorv::arb::Form4;

class CalcTest : public RegisterTest {
 protected:
  void SetUp() override {
    RegisterTest::SetUp();
    host_.set_second(std::chrono::milliseconds(2));
    form4_ = std::make_unique<Form4>();
    Modul1::set_calc_form(Modul1::CalcKind::Arbitrary, [this] { form4_->show(); });
    start();
    for (const char* f : {"trub.inf", "klap.inf", "kltr.inf"}) fs::copy_file(fs::path(DORV_DATA_DIR) / f, at(f));
    fs::copy_file(fs::path(DORV_BATCH_DIR) / "prom3.bat", at("prom3.bat"));
    fs::copy_file(OPTIMER_EXE, at("optimer"));
    put("dorv54.lsp", L"(setq link 1)\r\n");
  }
  void TearDown() override {
    form4_.reset();
    RegisterTest::TearDown();
  }
  // A new calculation of the network that `description` (netexport's
  // format) describes; the example network when empty.
  Form4& open_new(const std::string& description = "") {
    f().OpenedFromRegister = false;
    f().CalcNumberBase = 3;
    Modul1::Register.CurrentCalcId = L"TI";
    Modul1::PrepareWorkingFiles();
    Modul1::Register.NewCalcId = L" 4-T";
    std::string source = NETEXPORT_EXAMPLE;
    if (!description.empty()) {
      put_bytes("network.net", description);
      source = at("network.net").string();
    }
    const std::string command = "'" + std::string(NETEXPORT_EXE) + "' -t '" + at("trub.inf").string() + "' -o '" +
                                at("").string() + "' '" + source + "' > /dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0);
    form4_->show();
    return *form4_;
  }
  // The example network's description with one text replaced.
  static std::string example_with(const std::string& from, const std::string& to) {
    std::string d = read_bytes(NETEXPORT_EXAMPLE);
    d.replace(d.find(from), from.size(), to);
    return d;
  }
  // prom3.bat hands over `answer` as spr.out (empty: the solver failed).
  void prepared_answer(const std::string& answer) {
    put_bytes("answer.out", answer);
    put_bytes("prom3.bat", "cp answer.out spr.out\nrm -f prom.in\n");
  }
  // prom3.bat counts its calls and keeps each call's spr.in as spr_<n>.in
  // before the real one solves.
  void counting_solver() {
    fs::rename(at("prom3.bat"), at("solve.bat"));
    put_bytes("prom3.bat",
              "n=$(cat calls 2>/dev/null || echo 0); n=$((n+1)); echo $n > calls; cp spr.in spr_$n.in\n"
              "sh solve.bat\n");
  }
  int solver_calls() const { return std::atoi(bytes("calls").c_str()); }
  std::vector<std::wstring> messages() const {
    std::vector<std::wstring> out;
    for (std::size_t i = seen_; i < host_.messages().size(); ++i) out.push_back(host_.messages()[i].request.text);
    return out;
  }
  void forget_messages() { seen_ = host_.messages().size(); }
  std::vector<std::wstring> lines(const std::string& name) const { return split_lines(from_cp1251(bytes(name))); }
  std::unique_ptr<Form4> form4_;
  std::size_t seen_ = 0;
};

}  // namespace arbtest
