// The main window's procedure: the table of the messages the reader handles.
#include "platform/platform.h"

MessageResult WindowProcedure(unsigned message, MessageParam wParam, MessageData lParam) {
  switch (message) {
    default: return DefaultProcedure(message, wParam, lParam);
  }
}
