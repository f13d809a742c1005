"""The one exception of the card library's status codes, and the error of refused control calls
of the virtual installation."""
from . import _exports

# Code -> name: the local-card codes are positive, the ring codes negative.
STATUS_NAMES = {code: name for name, code in _exports.STATUS_CODES.items()}


class QuvexError(Exception):
    """An export returned a status other than success: `code` is the number (positive from the
    local-card exports, negative from the ring exports), `name` its constant's name."""

    def __init__(self, code, function):
        self.code = code
        self.name = STATUS_NAMES.get(code, f"status {code}")
        self.function = function
        super().__init__(f"{function}: {self.name} ({code})")


class SimError(Exception):
    """A control call of the virtual installation refused its arguments (it returned -1)."""

    def __init__(self, function, arguments):
        self.function = function
        super().__init__(f"{function}{tuple(arguments)!r} refused")
