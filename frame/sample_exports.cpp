// The four sample exports. Hosts bind them under the names a Windows C++
// compiler gives CQelvLogic's members, fnQelvLogic and nQelvLogic; the
// module-definition file maps those names onto these plain symbols, so the
// calling conventions here must be the ones such a host uses.

// CQelvLogic::CQelvLogic(): thiscall, object in ECX, returns the object.
extern "C" __attribute__((thiscall)) void* qelv_sample_construct(void* self) { return self; }

// CQelvLogic::operator=(const CQelvLogic&): thiscall, one stack argument the
// callee removes; there is nothing to copy, it returns the left-hand object.
extern "C" __attribute__((thiscall)) void* qelv_sample_assign(void* self, const void*) {
    return self;
}

// int fnQelvLogic(): cdecl.
extern "C" int qelv_sample_function() { return 42; }

// int nQelvLogic: a sample; nothing reads or changes it.
extern "C" {
int qelv_sample_value = 0;
}
