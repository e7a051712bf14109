// The exports, the class factory and the handler's COM identity, as Explorer meets them.
#include <atomic>
#include <thread>
#include <vector>

#include "harness.h"

namespace kvx::test {
namespace {

constexpr GUID kOtherClassId = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
void* const kGarbage = reinterpret_cast<void*>(0x1234);

using ClassObjectTest = ShellExtensionTest;

TEST_F(ClassObjectTest, IsHandedOutOnlyForTheHandlerClassAndFactoryInterfaces) {
  EXPECT_EQ(ShellExtension().getClassObject(kHandlerClassId, IID_IClassFactory, nullptr), E_POINTER);

  struct Case {
    const GUID& classId;
    const GUID& interfaceId;
    HRESULT expected;
  };
  const Case cases[] = {
      {kHandlerClassId, IID_IClassFactory, S_OK},
      {kHandlerClassId, IID_IUnknown, S_OK},
      {kHandlerClassId, IID_IContextMenu, E_NOINTERFACE},
      {kOtherClassId, IID_IClassFactory, CLASS_E_CLASSNOTAVAILABLE},
  };
  for (const Case& c : cases) {
    void* object = kGarbage;
    EXPECT_EQ(ShellExtension().getClassObject(c.classId, c.interfaceId, &object), c.expected);
    EXPECT_EQ(object != nullptr, c.expected == S_OK) << "the out pointer is cleared on failure";
    if (object && object != kGarbage) static_cast<IUnknown*>(object)->Release();
  }
}

TEST_F(ClassObjectTest, FactoryIsOneStaticObjectWithFixedReferenceAnswers) {
  TComRef<IClassFactory> factory = HandlerFactory();
  TComRef<IClassFactory> again = HandlerFactory();
  EXPECT_EQ(factory.get(), again.get());
  EXPECT_EQ(factory->AddRef(), 2u);
  EXPECT_EQ(factory->Release(), 1u);

  IUnknown* unknown = nullptr;
  ASSERT_EQ(factory->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
  EXPECT_EQ(static_cast<void*>(unknown), static_cast<void*>(factory.get()));
  unknown->Release();
  void* object = kGarbage;
  EXPECT_EQ(factory->QueryInterface(IID_IContextMenu, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(factory->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
}

TEST_F(ClassObjectTest, CreateInstanceRefusesAggregationAndUnknownInterfaces) {
  TComRef<IClassFactory> factory = HandlerFactory();
  TComRef<IClassFactory> outer = HandlerFactory();  // any object will do as the would-be outer one
  void* object = kGarbage;
  EXPECT_EQ(factory->CreateInstance(outer.get(), IID_IUnknown, &object), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(object, nullptr);
  object = kGarbage;
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IDataObject, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, nullptr), E_POINTER);
  // The refused object was freed without holding the module: TearDown sees nothing outstanding.
}

using HandlerIdentityTest = ShellExtensionTest;

TEST_F(HandlerIdentityTest, BothInterfacesBelongToOneObjectWithOneCount) {
  TComRef<IShellExtInit> init = NewHandler<IShellExtInit>(IID_IShellExtInit);
  ASSERT_TRUE(init);
  IContextMenu* menu = nullptr;
  ASSERT_EQ(init->QueryInterface(IID_IContextMenu, reinterpret_cast<void**>(&menu)), S_OK);
  IUnknown* unknown = nullptr;
  ASSERT_EQ(init->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
  IShellExtInit* initAgain = nullptr;
  ASSERT_EQ(menu->QueryInterface(IID_IShellExtInit, reinterpret_cast<void**>(&initAgain)), S_OK);

  // The object's start is its IUnknown and IContextMenu; its second word is its IShellExtInit.
  EXPECT_EQ(static_cast<void*>(unknown), static_cast<void*>(menu));
  EXPECT_EQ(reinterpret_cast<char*>(init.get()), reinterpret_cast<char*>(menu) + sizeof(void*));
  EXPECT_EQ(initAgain, init.get());

  // One count behind all of them: 1 from creation and 3 from the queries.
  EXPECT_EQ(menu->AddRef(), 5u);
  EXPECT_EQ(init->Release(), 4u);
  void* object = kGarbage;
  EXPECT_EQ(init->QueryInterface(IID_IClassFactory, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(menu->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
  initAgain->Release();
  unknown->Release();
  EXPECT_EQ(menu->Release(), 1u);
  EXPECT_EQ(init.release()->Release(), 0u);
}

using UnloadTest = ShellExtensionTest;

TEST_F(UnloadTest, OnlyWhenNoObjectFactoryReferenceOrLockIsOutstanding) {
  const TShellExtension& library = ShellExtension();
  EXPECT_EQ(library.canUnloadNow(), S_OK);
  TComRef<IClassFactory> factory = HandlerFactory();
  EXPECT_EQ(library.canUnloadNow(), S_FALSE) << "factory reference";

  TComRef<IContextMenu> menu = NewHandler<IContextMenu>(IID_IContextMenu);
  ASSERT_EQ(factory->LockServer(TRUE), S_OK);
  factory.reset();
  EXPECT_EQ(library.canUnloadNow(), S_FALSE) << "lock and object";
  menu.reset();
  EXPECT_EQ(library.canUnloadNow(), S_FALSE) << "lock";
  factory = HandlerFactory();
  ASSERT_EQ(factory->LockServer(FALSE), S_OK);
  EXPECT_EQ(library.canUnloadNow(), S_FALSE) << "factory reference";
  factory.reset();
  EXPECT_EQ(library.canUnloadNow(), S_OK);

  TComRef<IShellExtInit> init = NewHandler<IShellExtInit>(IID_IShellExtInit);
  EXPECT_EQ(library.canUnloadNow(), S_FALSE) << "object";
  init.reset();
  EXPECT_EQ(library.canUnloadNow(), S_OK);
}

TEST_F(UnloadTest, CountsStayExactWhenThreadsShareThem) {
  TComRef<IContextMenu> menu = NewHandler<IContextMenu>(IID_IContextMenu);
  IClassFactory* factory = HandlerFactory().release();
  // Released together, so that the threads really overlap.
  std::atomic<bool> go{false};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      while (!go) std::this_thread::yield();
      for (int i = 0; i < 1000000; ++i) {
        menu->AddRef();
        menu->Release();
        factory->AddRef();
        factory->Release();
      }
    });
  }
  go = true;
  for (std::thread& thread : threads) thread.join();
  factory->Release();
  EXPECT_EQ(ShellExtension().canUnloadNow(), S_FALSE);
  EXPECT_EQ(menu.release()->Release(), 0u);
}

}  // namespace
}  // namespace kvx::test
