"""Markdown twins: a page's Markdown version at its address plus ".md", a folder's at
"index.html.md" below it. The checks follow a twin link back to the page it stands for."""

FOLDER_TWIN = "index.html.md"


def twin_pages(address):
    """The addresses a link may stand for: the twin's page, or the link itself."""
    if address.endswith("/" + FOLDER_TWIN):
        folder = address[: -len(FOLDER_TWIN)]
        return [folder, folder + "index.html"]
    if address.endswith(".md"):
        return [address[:-3]]
    return [address]
