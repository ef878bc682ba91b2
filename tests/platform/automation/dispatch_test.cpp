#include "platform/automation/dispatch.h"

#include <gtest/gtest.h>

#include "platform/automation/class_registry.h"
#include "platform/automation/scripted_object.h"

namespace vx {
namespace {

std::shared_ptr<ScriptedObject> SysInfoObject() {
  auto obj = std::make_shared<ScriptedObject>();
  obj->On("GetSysInfo", [](std::span<Arg> args) {
    args[0].get() = "C01";
    args[1].get() = 3;
    return Variant(true);
  });
  return obj;
}

TEST(Dispatch, ByReferenceArgumentsAreWrittenBack) {
  auto obj = SysInfoObject();
  Variant company, count, untouched = "keep";
  Variant result = Call(Variant(DispatchPtr(obj)), "getsysinfo", {Ref(company), Ref(count)});
  EXPECT_TRUE(result.ToBool());
  EXPECT_EQ(company.ToText(), "C01");
  EXPECT_EQ(count.ToInt(), 3);
  // A by-value argument is the callee's own copy.
  Call(Variant(DispatchPtr(obj)), "GetSysInfo", {untouched, Ref(count)});
  EXPECT_EQ(untouched.ToText(), "keep");
  ASSERT_EQ(obj->CallCount("GetSysInfo"), 2);
  EXPECT_EQ(obj->LastCall("GetSysInfo").Args[0].ToText(), "keep");  // as it came in
}

TEST(Dispatch, PropertiesAndUnknownNames) {
  auto obj = std::make_shared<ScriptedObject>();
  obj->Property("Connected", false).Throws("Request", "server down");
  Variant v{DispatchPtr(obj)};
  Put(v, "connected", true);
  EXPECT_TRUE(Get(v, "Connected").ToBool());
  try {
    Call(v, "Missing");
    FAIL();
  } catch (const EOleSysError& e) {
    EXPECT_EQ(e.ErrorCode(), DISP_E_UNKNOWNNAME);
    EXPECT_NE(e.Message().find("Missing"), std::string::npos);
  }
  EXPECT_THROW(Call(v, "Request"), EOleException);
  EXPECT_THROW(Put(v, "NoSuchProperty", 1), EOleSysError);
  EXPECT_THROW(Call(Variant(), "Anything"), EOleError);
  EXPECT_THROW(Call(Variant::Null(), "Anything"), EOleError);
}

TEST(ClassRegistry, CreatesRegisteredClassesByIdentifier) {
  int created = 0;
  ScopedClassRegistration reg("ReportCounterS.dmReportCounter", [&] {
    ++created;
    return std::make_shared<ScriptedObject>();
  });
  Variant a = CreateOleObject("reportcounters.DMREPORTCOUNTER");
  Variant b = CreateOleObject("ReportCounterS.dmReportCounter");
  EXPECT_EQ(created, 2);
  EXPECT_NE(a.ToDispatch(), b.ToDispatch());  // a new object each time
  try {
    CreateOleObject("CorvanWorkCenter.Manager");
    FAIL();
  } catch (const EOleSysError& e) {
    EXPECT_EQ(e.ErrorCode(), CO_E_CLASSSTRING);
    EXPECT_NE(e.Message().find("CorvanWorkCenter.Manager"), std::string::npos);
  }
}

TEST(ClassRegistry, ScopedRegistrationEndsWithItsScope) {
  {
    ScopedClassRegistration reg("Temp.Object", [] { return std::make_shared<ScriptedObject>(); });
    EXPECT_TRUE(ClassRegistry::Instance().IsRegistered("temp.object"));
  }
  EXPECT_FALSE(ClassRegistry::Instance().IsRegistered("Temp.Object"));
  EXPECT_THROW(CreateOleObject("Temp.Object"), EOleSysError);
}

}  // namespace
}  // namespace vx
