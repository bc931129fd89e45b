// Empty: this object library only exists to build a precompiled header that
// other targets reuse.
