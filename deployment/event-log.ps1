# The last five events of vornakdsn in the Application log, whether or not the package has
# registered its source.
Get-WinEvent -LogName Application -FilterXPath "*[System/Provider[@Name='vornakdsn']]" -MaxEvents 5 |
    Format-List TimeCreated, Id, LevelDisplayName, Message
