#pragma once
// The COM-support exception for modules in Microsoft's C++ ABI, in place of MinGW-w64's
// <comdef.h>. A catch matches a thrown type by its decorated name, and the catching module
// reads the object through its own inline members, so this class has the name and the
// layout of the one that Microsoft's <comdef.h> declares: the virtual table, the HRESULT,
// the IErrorInfo* and the message that ErrorMessage() caches. Every member is inline, as
// there, and frees what it holds as that one does (Release, LocalFree).

#include <oaidl.h>
#include <windows.h>

class _com_error {
 public:
  _com_error(HRESULT hr, IErrorInfo* perrinfo = nullptr, bool fAddRef = false) throw()
      : m_hresult(hr), m_perrinfo(perrinfo), m_pszMsg(nullptr) {
    if (m_perrinfo && fAddRef) m_perrinfo->AddRef();
  }
  _com_error(_com_error const& that) throw()
      : m_hresult(that.m_hresult), m_perrinfo(that.m_perrinfo), m_pszMsg(nullptr) {
    if (m_perrinfo) m_perrinfo->AddRef();
  }
  virtual ~_com_error() throw() {
    if (m_perrinfo) m_perrinfo->Release();
    if (m_pszMsg) LocalFree(m_pszMsg);
  }
  _com_error& operator=(_com_error const& that) throw() {
    if (this != &that) {
      if (that.m_perrinfo) that.m_perrinfo->AddRef();
      if (m_perrinfo) m_perrinfo->Release();
      if (m_pszMsg) LocalFree(m_pszMsg);
      m_hresult = that.m_hresult;
      m_perrinfo = that.m_perrinfo;
      m_pszMsg = nullptr;
    }
    return *this;
  }

  HRESULT Error() const throw() { return m_hresult; }
  WORD WCode() const throw() { return HRESULTToWCode(m_hresult); }
  IErrorInfo* ErrorInfo() const throw() {
    if (m_perrinfo) m_perrinfo->AddRef();
    return m_perrinfo;
  }

  // The system's message for the HRESULT, made on first use and kept with the object.
  char const* ErrorMessage() const throw() {
    if (!m_pszMsg) {
      FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                         FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, static_cast<DWORD>(m_hresult),
                     MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&m_pszMsg),
                     0, nullptr);
      if (!m_pszMsg) {
        char const prefix[] = "Unknown error 0x";
        m_pszMsg = static_cast<char*>(LocalAlloc(LMEM_FIXED, sizeof prefix + 8));
        if (m_pszMsg) {
          char* digit = m_pszMsg;
          for (char const* p = prefix; *p; ++p) *digit++ = *p;
          for (int shift = 28; shift >= 0; shift -= 4)
            *digit++ = "0123456789ABCDEF"[(static_cast<unsigned long>(m_hresult) >> shift) & 0xF];
          *digit = '\0';
        }
      }
    }
    return m_pszMsg;
  }

  static HRESULT WCodeToHRESULT(WORD wCode) throw() {
    return wCode >= 0xFE00 ? kWCodeHresultLast : kWCodeHresultFirst + wCode;
  }
  static WORD HRESULTToWCode(HRESULT hr) throw() {
    return hr >= kWCodeHresultFirst && hr <= kWCodeHresultLast
               ? static_cast<WORD>(hr - kWCodeHresultFirst)
               : 0;
  }

 private:
  // The HRESULTs that carry a WORD code: FACILITY_ITF from 0x200 on.
  static constexpr HRESULT kWCodeHresultFirst = static_cast<HRESULT>(0x80040200L);
  static constexpr HRESULT kWCodeHresultLast = static_cast<HRESULT>(0x8004FFFFL);

  HRESULT m_hresult;
  IErrorInfo* m_perrinfo;
  mutable char* m_pszMsg;
};
