"""Where the tool works, read from tool-paths.sh beside this file, for the
Python tests: RUN_KEY and PRODUCT_KEY (below HKLM), LOG_FOLDER, LOG_NAME,
and LOG_FILE, the log's full path."""
import os
import re

with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), 'tool-paths.sh'),
          encoding='utf-8') as _definitions:
    _paths = dict(re.findall(r"^([A-Z_]+)='([^']*)'$", _definitions.read(), re.M))

RUN_KEY = _paths['RUN_KEY']
PRODUCT_KEY = _paths['PRODUCT_KEY']
LOG_FOLDER = _paths['LOG_FOLDER']
LOG_NAME = _paths['LOG_NAME']
LOG_FILE = LOG_FOLDER + '\\' + LOG_NAME
