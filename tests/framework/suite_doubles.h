#pragma once
// Stand-ins for the shell's manager and its service objects and for the
// application server, answering from small tables, so that module forms run
// headless in tests. Each records every call it got (ScriptedObject).
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/automation/class_registry.h"
#include "platform/automation/scripted_object.h"
#include "platform/remote/provider.h"
#include "platform/rtl/text.h"
#include "platform/ui/forms.h"
#include "platform/ui/headless.h"
#include "tests/env/env_fixture.h"

namespace vx::test {

inline constexpr const char* kServerClassId = "ReportCounterS.dmReportCounter";

struct SuiteTables {
  // Message catalogue: "E;000037" -> template.
  std::map<std::string, std::string> Messages = {
      {"E;000001", "数据不正确: %s"},
      {"W;000004", "数据可能不正确: %s"},
      {"I;000008", "查无此资料"},
      {"W;000002", "%s 的个数应为 %s, 实际为 %s"},
      {"W;000003", "%s 共 %s 个, 第 %s 个没有内容"},
      {"I;000003", "没有任何选择条件%s"},
      {"W;000014", "外部传入的参数与窗体不符"},
      {"E;000005", "日期格式不正确%s%s"},
      {"E;000006", "无法连接应用服务器"},
      {"E;000013", "工作提交失败: %s"},
      {"E;000030", "制表日期未放入参数%s"},
      {"I;000011", "(制表日期)"},
      {"E;000036", "窗体的系统代号与程序代号不符"},
      {"E;000037", "必填字段不可空白"},
      {"E;000038", "启动参数不足"},
      {"I;000004", "工作已提交, 编号 %s"},
      {"I;000009", "(日期"},
      {"I;000010", "无法识别)"},
      {"E;100082", "%s 不可早于 %s"},
      {"R;200235", "方案未能载入"},
  };
  // System information of the company.
  std::vector<std::pair<std::string, std::string>> SysInfo = {
      {"VRX002", "示范公司"}, {"Sys001", "1"}, {"Sys002", "/"}};
  // Validator answers: "TABLE;QUERY;first argument" -> row.
  std::map<std::string, Variant> Checks;
  // Counter values by upper-case name.
  std::map<std::string, Variant> Counters;
  int VersionType = 1;
  int ProductID = 2;
};

// The manager with its service objects; Install() registers the server
// object for the in-process connection.
class SuiteDoubles {
 public:
  explicit SuiteDoubles(SuiteTables tables = {}) : tables_(std::move(tables)) {
    manager_ = std::make_shared<ScriptedObject>();
    counter_ = std::make_shared<ScriptedObject>();
    validator_ = std::make_shared<ScriptedObject>();
    f2_ = std::make_shared<ScriptedObject>();
    server_ = std::make_shared<ScriptedObject>();
    auto* self = this;
    manager_->On("VersionType",
                 [self](auto) { return Variant(std::int32_t{self->tables_.VersionType}); });
    manager_->On("ProductID",
                 [self](auto) { return Variant(std::int32_t{self->tables_.ProductID}); });
    manager_->On("Com_Counter", [self](auto) { return Variant(DispatchPtr(self->counter_)); });
    manager_->On("Com_Validator", [self](auto) { return Variant(DispatchPtr(self->validator_)); });
    manager_->On("Com_F2Window", [self](auto) { return Variant(DispatchPtr(self->f2_)); });
    manager_->On("GetMessage", [self](std::span<Arg> a) {
      std::string key = VarToStr(a[0].get()) + ";" + VarToStr(a[1].get());
      auto it = self->tables_.Messages.find(key);
      return Variant(it == self->tables_.Messages.end() ? "?" + key : it->second);
    });
    manager_->Returns("CallHelp", Variant());
    counter_->On("GetSysInfo", [self](std::span<Arg>) {
      const auto& rows = self->tables_.SysInfo;
      Variant answer = VarArrayCreate({{0, 1}, {0, static_cast<int>(rows.size()) - 1}});
      for (std::size_t i = 0; i < rows.size(); ++i) {
        answer.At({0, static_cast<int>(i)}) = rows[i].first;
        answer.At({1, static_cast<int>(i)}) = rows[i].second;
      }
      return answer;
    });
    counter_->On("GetCounter", [self](std::span<Arg> a) {
      auto it = self->tables_.Counters.find(VarToStr(a[0].get()));
      return it == self->tables_.Counters.end() ? Variant() : it->second;
    });
    validator_->Property("ProductID", Variant()).Property("BaseLimited", Variant());
    auto check = [self](std::span<Arg> a) {
      const Variant& args = a[3].get();
      std::string first = args.IsArray() && args.HighBound() >= args.LowBound()
                              ? VarToStr(args[args.LowBound()])
                              : "";
      std::string key = VarToStr(a[0].get()) + ";" + VarToStr(a[1].get()) + ";" + first;
      auto it = self->tables_.Checks.find(key);
      if (it == self->tables_.Checks.end()) return Variant(false);
      a[4].get() = it->second;
      return Variant(true);
    };
    validator_->On("CheckValue", check).On("QueryData", check);
    f2_->Returns("F2GetData", Variant()).Returns("ShowInputDay", "").Returns("GetPhrase", "");
    server_->Property("SQLType", std::int32_t{1});
    server_->Returns("GetPower",
                     VarArrayOf({"", "A,Y,Y,YYYYYYYY,E,F", "", "", "", VarArrayOf({0})}));
    server_->Returns("Request", "20261211000001").Returns("Request1", "20261211000001");
    server_->Returns("ErrorDescript", "").Returns("UpdateStatus1", Variant());
    server_->Returns("ExecSvrDLL", Variant());
    InstallSchemes();
  }

  // The saved schemes of every user and program: NCONDITION, CREATOR,
  // PROGRAMME, CREATE_DATE, SCONDITION, VCONDITION. LoadTable hands those of
  // one user and program to the provider "pvdConSave".
  std::vector<TRecordValues>& Schemes() { return schemes_; }
  TProviders& Providers() { return providers_; }
  // A non-empty text makes the next call of that scheme method answer it.
  std::map<std::string, std::string> SchemeRefusals;

  // Registers the server object under its class identifier for as long as
  // the returned object lives.
  std::unique_ptr<ScopedClassRegistration> Install() {
    auto server = server_;
    return std::make_unique<ScopedClassRegistration>(kServerClassId,
                                                     [server] { return DispatchPtr(server); });
  }

  Variant Manager() const { return Variant(DispatchPtr(manager_)); }
  SuiteTables& Tables() { return tables_; }
  ScriptedObject& ManagerObject() { return *manager_; }
  ScriptedObject& CounterObject() { return *counter_; }
  ScriptedObject& ValidatorObject() { return *validator_; }
  ScriptedObject& F2Object() { return *f2_; }
  ScriptedObject& Server() { return *server_; }

 private:
  int FindScheme(const Variant& key) const {
    for (std::size_t i = 0; i < schemes_.size(); ++i)
      if (VarToStr(schemes_[i][0]) == VarToStr(key[0]) &&
          VarToStr(schemes_[i][1]) == VarToStr(key[1]) &&
          VarToStr(schemes_[i][2]) == VarToStr(key[2]))
        return static_cast<int>(i);
    return -1;
  }
  std::string Refusal(const std::string& method) {
    auto it = SchemeRefusals.find(method);
    if (it == SchemeRefusals.end()) return {};
    std::string text = it->second;
    SchemeRefusals.erase(it);
    return text;
  }
  void InstallSchemes() {
    auto* self = this;
    providers_.Add("pvdConSave", TTableProvider({{"NCONDITION"},
                                                 {"CREATOR"},
                                                 {"PROGRAMME"},
                                                 {"CREATE_DATE"},
                                                 {"SCONDITION", ftMemo},
                                                 {"VCONDITION", ftMemo}},
                                                {"NCONDITION", "CREATOR", "PROGRAMME"}));
    auto provider_call = [self](std::string method) {
      return [self, method](std::span<Arg> a) { return self->providers_.Invoke(method, a); };
    };
    server_->On(kGetRecordsMethod, provider_call(kGetRecordsMethod));
    server_->On(kApplyUpdatesMethod, provider_call(kApplyUpdatesMethod));
    server_->On("LoadTable", [self](std::span<Arg> a) {
      const Variant& who = a[0].get();
      std::vector<TRecordValues> mine;
      for (const TRecordValues& r : self->schemes_)
        if (VarToStr(r[1]) == VarToStr(who[0]) && VarToStr(r[2]) == VarToStr(who[1]))
          mine.push_back(r);
      self->providers_.Find("pvdConSave")->SetRecords(std::move(mine));
      return Variant();
    });
    server_->On("InsertConTable", [self](std::span<Arg> a) {
      const Variant& s = a[0].get();
      if (std::string refused = self->Refusal("InsertConTable"); !refused.empty())
        return Variant(refused);
      Variant key = VarArrayOf({s[0], s[1], s[3]});
      int at = self->FindScheme(key);
      if (at >= 0 && !s[6].ToBool()) return Variant("方案已存在");
      TRecordValues row{s[0], s[1], s[3], s[2], s[4], s[5]};
      if (at >= 0)
        self->schemes_[static_cast<std::size_t>(at)] = row;
      else
        self->schemes_.push_back(row);
      return Variant("");
    });
    // Deleting and renaming act on the scheme the first array names.
    auto existing = [self](std::string method,
                           std::function<void(std::size_t, std::span<Arg>)> act) {
      return [self, method, act](std::span<Arg> a) {
        if (std::string refused = self->Refusal(method); !refused.empty()) return Variant(refused);
        int at = self->FindScheme(a[0].get());
        if (at < 0) return Variant("方案不存在");
        act(static_cast<std::size_t>(at), a);
        return Variant("");
      };
    };
    server_->On("DeleteConTable", existing("DeleteConTable", [self](std::size_t at, auto) {
                  self->schemes_.erase(self->schemes_.begin() + static_cast<std::ptrdiff_t>(at));
                }));
    server_->On("ChangeConName",
                existing("ChangeConName", [self](std::size_t at, std::span<Arg> a) {
                  self->schemes_[at][0] = a[1].get()[0];
                }));
  }

  SuiteTables tables_;
  std::vector<TRecordValues> schemes_;
  TProviders providers_;
  std::shared_ptr<ScriptedObject> manager_, counter_, validator_, f2_, server_;
};

// A machine for module forms: the system code page 936, an installation
// whose client configuration names the in-process server (127.0.0.1 by
// default), the doubles registered, no forms and no dialogs around a test.
class ModuleMachine : public EnvFixture {
 protected:
  void SetUp() override {
    FreeAllForms();
    HeadlessWidgetSet()->Reset();
    CodePage("936");
    Registry("\"ClientPath\"=\"" + RegPath(Install()) + "\"\r\n");
    tmp_.MakeFolder("inst");
    registration_ = doubles_.Install();
  }
  void TearDown() override {
    FreeAllForms();
    HeadlessWidgetSet()->Reset();
  }

  SuiteDoubles doubles_;
  std::unique_ptr<ScopedClassRegistration> registration_;
};

}  // namespace vx::test
