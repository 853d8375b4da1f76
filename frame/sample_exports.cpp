// The four sample exports. Hosts bind them under the names a Windows C++
// compiler gives CQelvLogic's members, fnQelvLogic and nQelvLogic; the
// module-definition file maps those names onto these plain symbols, so the
// calling conventions here must be the ones such a host uses. x64 has one
// convention for members too: the object comes in RCX.
#if defined(__i386__)
#define QELV_THISCALL __attribute__((thiscall))
#else
#define QELV_THISCALL
#endif

// CQelvLogic::CQelvLogic(): on x86 thiscall, object in ECX, returns the object.
extern "C" QELV_THISCALL void* qelv_sample_construct(void* self) { return self; }

// CQelvLogic::operator=(const CQelvLogic&): thiscall, one stack argument the
// callee removes; there is nothing to copy, it returns the left-hand object.
extern "C" QELV_THISCALL void* qelv_sample_assign(void* self, const void*) {
    return self;
}

// int fnQelvLogic(): cdecl.
extern "C" int qelv_sample_function() { return 42; }

// int nQelvLogic: a sample; nothing reads or changes it.
extern "C" {
int qelv_sample_value = 0;
}
