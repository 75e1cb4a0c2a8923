#!/usr/bin/env python3
"""Prints the ProductCode of a ProductVersion of the package: a name-based UUID (version 5) made
from the package's fixed UpgradeCode and the version, so each version has its own code and a
rebuild of one version has the same one, which detection rules (Intune, Configuration Manager)
can name before the package is built."""
import sys
import uuid
import xml.etree.ElementTree as ET

WIX = "{http://schemas.microsoft.com/wix/2006/wi}"


def main(wxs, version):
    upgrade_code = ET.parse(wxs).getroot().find(WIX + "Product").get("UpgradeCode")
    print("{" + str(uuid.uuid5(uuid.UUID(upgrade_code), version)).upper() + "}")


if __name__ == "__main__":
    main(*sys.argv[1:3])
